// A folder the layers file does not list.
int liftFloors();
