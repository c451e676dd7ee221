// In a folder whose name begins as the build's do.
constexpr int floorCount = 21;
