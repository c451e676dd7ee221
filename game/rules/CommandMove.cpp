#include "game/rules/CommandMove.h"

#include <algorithm>

#include "framework/core/Modifier.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"

// Carries a moving tile's sprite along a straight line to its slot over TILE_FLIGHT_TIME,
// playing the move sound as it starts; at the end the command lands the tile. It runs in the
// game screen's effect layer, which the screen ticks every frame, and moves the tile, not the
// node that runs it.
class TileFlight : public Modifier {
    QUOVEL_TYPE(TileFlight)
public:
    TileFlight(CommandMove* owner, GameNode* moving, int32_t startX, int32_t startY, int32_t endX,
               int32_t endY, int32_t duration)
        : owner(owner),
          moving(moving),
          startX(startX),
          startY(startY),
          endX(endX),
          endY(endY),
          duration(duration) {}

    void update(int32_t elapsedMs) override {
        if (isFinished()) {
            return;
        }
        if (!started) {
            started = true;
            playGameSound("SOUND_TILE_MOVES");
        }
        elapsed += std::max(elapsedMs, 0);
        if (elapsed < duration && owner != nullptr) {
            const int64_t x = startX + static_cast<int64_t>(endX - startX) * elapsed / duration;
            const int64_t y = startY + static_cast<int64_t>(endY - startY) * elapsed / duration;
            moving->setPosition(static_cast<int32_t>(x), static_cast<int32_t>(y));
            return;
        }
        arrive();
    }

    // Ends the flight now; the owner (if still there) lands the tile.
    void arrive() {
        CommandMove* landing = owner;
        owner = nullptr;
        finish();
        if (landing != nullptr) {
            landing->land();
        }
    }
    // The command is going away: the flight ends without it.
    void forget() {
        owner = nullptr;
        finish();
    }

private:
    CommandMove* owner;
    RefHolder<GameNode> moving;
    int32_t startX;
    int32_t startY;
    int32_t endX;
    int32_t endY;
    int32_t duration;
    int32_t elapsed = 0;
    bool started = false;
};

QUOVEL_DEFINE_TYPE(TileFlight, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(CommandMove, &Command::typeRecord)
QUOVEL_REGISTER_CLASS(CommandMove)

CommandMove::CommandMove(int32_t targetColumn, int32_t targetRow, Tile* tile)
    : tile(tile), targetColumn(targetColumn), targetRow(targetRow) {
    if (tile != nullptr) {
        previousX = tile->getGridX();
        previousY = tile->getGridY();
        previousZ = tile->getGridZ();
        fromSideBoard = tile->isOnSideBoard();
    }
}

CommandMove::CommandMove(PropertyNode* saved) {
    if (saved == nullptr) {
        return;
    }
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->createObject(saved->getChildNode("tile")));
    tile = objectCast<Tile>(made.get());
    targetColumn = saved->getChildValue("x")->getInt();
    targetRow = saved->getChildValue("y")->getInt();
    previousX = saved->getChildValue("lx")->getInt();
    previousY = saved->getChildValue("ly")->getInt();
    previousZ = saved->getChildValue("lz")->getInt();
    fromSideBoard = saved->getChildValue("lsideboard")->getBool();
}

CommandMove::~CommandMove() {
    if (flight) {
        flight->forget();
    }
    dropFlyingSprite();
}

void CommandMove::execute(Game& game) {
    if (!tile) {
        return;
    }
    game.clearSelection();
    Layout* layout = game.getLayout();
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    IGameScreen& screen = getGameScreen();
    // The tile itself has no picture: the screen's sprite of it is what the player sees fly.
    flyingSprite = screen.liftTile(tile.get());
    GameNode* moving = flyingSprite ? flyingSprite.get() : tile.get();
    if (layout != nullptr) {
        layout->removeTile(tile.get());
    }
    targetBoard = sideBoard;
    int32_t endX = targetColumn;
    int32_t endY = targetRow;
    if (sideBoard != nullptr) {
        sideBoard->slotToPoint(endX, endY);
    }
    flight = new TileFlight(this, moving, moving->getX(), moving->getY(), endX, endY,
                            std::max(tuning().TILE_FLIGHT_TIME, 0));
    if (GameNode* effects = screen.getEffectLayer()) {
        GameNode::addModifier(effects, flight.get());
    } else {
        // Nothing would run the flight: the tile lands at once.
        complete();
    }
    // The matches are counted once the tile is parked (land): in flight it is on neither board,
    // and a count without it could call the board stuck.
    screen.markFreeTiles();
}

void CommandMove::dropFlyingSprite() {
    if (flyingSprite) {
        flyingSprite->setRemoved(true);
        flyingSprite = nullptr;
    }
}

void CommandMove::land() {
    flight = nullptr;
    dropFlyingSprite();
    if (SideBoard* sideBoard = targetBoard.get()) {
        sideBoard->placeTile(tile.get(), targetColumn, targetRow);
        sideBoard->invalidateTileRect(targetColumn, targetRow);
    }
    targetBoard = nullptr;
    // In flight the tile is on neither board, yet still in play: free tiles, matches and
    // progress are counted once it is parked.
    IGameScreen& screen = getGameScreen();
    screen.markFreeTiles();
    screen.updateMatchesText();
    screen.updateProgressLabel();
    playGameSound("SOUND_TILE_ARRIVES");
}

void CommandMove::complete() {
    if (flight) {
        RefHolder<TileFlight> ending = flight;
        ending->arrive();
    }
}

void CommandMove::undo(Game& game) {
    if (!tile) {
        return;
    }
    complete();
    game.clearSelection();
    Layout* layout = game.getLayout();
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    if (sideBoard != nullptr) {
        sideBoard->removeTile(targetColumn, targetRow);
    }
    tile->setOnSideBoard(false);
    if (fromSideBoard && sideBoard != nullptr) {
        // It came from another slot: back into that slot, not onto the grid.
        sideBoard->placeTile(tile.get(), previousX, previousY);
    } else if (layout != nullptr) {
        layout->placeTile(tile.get(), previousX, previousY, previousZ);
        getGameScreen().restoreRenderTile(tile.get());
    }
    getGameScreen().markFreeTiles();
}

void CommandMove::save(PropertyVector* parent) {
    if (parent == nullptr || !tile) {
        return;
    }
    complete();
    RefHolder<PropertyNode> node(new PropertyNode("", "CommandMove"));
    RefHolder<PropertyNode> tileNode(new PropertyNode("tile", "Tile"));
    tile->save(tileNode.get());
    node->addChild(tileNode.get());
    node->addChild(new PropertyValue("x", targetColumn));
    node->addChild(new PropertyValue("y", targetRow));
    node->addChild(new PropertyValue("lx", previousX));
    node->addChild(new PropertyValue("ly", previousY));
    node->addChild(new PropertyValue("lz", previousZ));
    if (fromSideBoard) {
        node->addBool("lsideboard", true, false);
    }
    parent->addChild(node.get());
}
