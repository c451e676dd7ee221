// Names as the check refuses them, and beside them names it lets be.
enum class Outcome { fits, TOO_DEEP };
constexpr int maxDepth = 8, MAX_WIDTH = 4;
constexpr int MAX_HEIGHT = 2, secondOne = 3;
const char* const STORE_NAME = "store";
class Reader {
    QUOVEL_TYPE(Reader)
    static constexpr long maxBytes = long{1} << 28;
    static constexpr std::array<int, 2> sizeTable = {1, 2};
    const int width = 0;
    int read() const {
        constexpr int localLimit = 3;
        return localLimit;
    }
};
