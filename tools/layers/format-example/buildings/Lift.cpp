// In a folder whose name begins as the build's do.
constexpr int FLOOR_COUNT=21 ;
