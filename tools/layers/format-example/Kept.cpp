int kept(int a) {
    return a;
}
