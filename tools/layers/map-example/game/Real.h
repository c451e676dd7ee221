class Real {
    void run();
};
