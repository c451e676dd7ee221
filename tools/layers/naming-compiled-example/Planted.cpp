// Names as the check refuses them, and beside them names it lets be.
#define glowBlinkMs 300
#define GLOW_FADE_MS 200

class tile_cache {};

class iTileListener {
public:
    virtual ~iTileListener() = default;
    virtual void onTile() = 0;
};

class TileCache : public iTileListener {
public:
    int Get_Value() const {
        return m_count + count + MAX_TILES;
    }
    void onTile() override {}

private:
    int m_count = 0;
    int count = 0;
    static constexpr int MAX_TILES = 144;
};
