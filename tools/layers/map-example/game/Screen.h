// Several classes in one header, one nested in another.
class Screen {
    struct Flow {
        void newLevel();
    };
    void draw() {
        int frame = 0;
    }
};
class Shuffle {
    void shuffle();
};
class Won : public Shuffle {
    void recordWin();
};
