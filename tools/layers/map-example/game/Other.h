class Other {
    void build();
};
