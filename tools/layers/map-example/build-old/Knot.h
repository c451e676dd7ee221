class Knot {};
