#include "game/rules/TileManager.h"

#include <algorithm>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"

QUOVEL_DEFINE_TYPE(TileManager, &BaseObject::typeRecord)

namespace {

TileManager* singleton = nullptr;

// Faces are drawn from the program's generator; without one (tools, early tests) a fixed
// generator keeps the deal defined.
Random& generator() {
    if (Random* program = Random::getInstance()) {
        return *program;
    }
    static Random fallback(0, 0);
    return fallback;
}

}  // namespace

// One run of dealDefs: the arguments, the suit sizes and the output list.
struct TileManager::Deal {
    const TileManager& manager;
    int64_t copies;
    int64_t groupSize;
    int32_t regularSuits;
    int64_t regularSum = 0;  // S: faces of all regular suits
    std::vector<RefHolder<TileDef>>& out;

    // Appends every face of the suit once; returns the number appended.
    int64_t appendSuit(int32_t suit) {
        const int32_t size = manager.usableSize(suit);
        for (int32_t value = 0; value < size; ++value) {
            out.emplace_back(new TileDef(suit, value));
        }
        return size;
    }

    // The special suits in groups, alternating between the two; returns what is left of c.
    int64_t specialDeal(int64_t c) {
        if (groupSize < 1) {
            return c;
        }
        const int64_t divisor = regularSum * copies + groupSize;
        const int64_t groups = divisor > 0 ? c / divisor : 0;
        int32_t suit = generator().nextInt(0, 1000) < 500 ? FLOWER_SUIT : SEASON_SUIT;
        for (int64_t group = 0; group < groups; ++group) {
            const int32_t size = manager.usableSize(suit);
            if (size > 0) {
                c -= appendSuit(suit);
                for (int64_t extra = size; extra < groupSize; ++extra) {
                    out.emplace_back(new TileDef(suit, generator().nextInt(0, size)));
                    --c;
                }
            }
            suit = suit == FLOWER_SUIT ? SEASON_SUIT : FLOWER_SUIT;
        }
        return c;
    }

    void appendRegularSuits(int64_t times, int64_t& c) {
        for (int32_t suit = 0; suit < regularSuits; ++suit) {
            for (int64_t copy = 0; copy < times; ++copy) {
                c -= appendSuit(suit);
            }
        }
    }

    // What does not fill whole rounds: one special deal, the regular suits once more when they
    // fit, then random distinct regular faces `copies` at a time.
    int64_t remainderDeal(int64_t c) {
        c = specialDeal(c);
        if (regularSum * copies <= c) {
            appendRegularSuits(copies, c);
        }
        if (c <= 0 || copies < 1) {
            return c;
        }
        struct Face {
            int32_t suit;
            int32_t value;
        };
        std::vector<Face> pool;
        for (int32_t suit = 0; suit < regularSuits; ++suit) {
            for (int32_t value = 0; value < manager.usableSize(suit); ++value) {
                pool.push_back({suit, value});
            }
        }
        const int64_t picks = c / copies;
        for (int64_t pick = 0; pick < picks; ++pick) {
            if (pool.empty()) {
                return 0;
            }
            const int32_t index = generator().nextInt(0, static_cast<int32_t>(pool.size()));
            const Face face = pool[index];
            for (int64_t copy = 0; copy < copies; ++copy) {
                out.emplace_back(new TileDef(face.suit, face.value));
                --c;
            }
            pool.erase(pool.begin() + index);
        }
        return c;
    }
};

TileManager::TileManager(PropertyVector* suitDefs) {
    if (suitDefs == nullptr) {
        return;
    }
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    for (int32_t i = 0; i < suitDefs->getChildCount(); ++i) {
        RefHolder<BaseObject> made(factory->createObject(suitDefs->getChildAt(i)));
        if (TileSuit* suit = objectCast<TileSuit>(made.get())) {
            suit->setIndex(static_cast<int32_t>(suits.size()));
            suits.emplace_back(suit);
        }
    }
}

void TileManager::createInstance() {
    if (singleton != nullptr) {
        return;
    }
    PropertyVector* suitDefs = nullptr;
    if (BasicProperties* properties = BasicProperties::instance()) {
        suitDefs = properties->getNode("suitDefs");
        if (suitDefs == nullptr) {
            suitDefs = properties->getVector("suitDefs");
        }
    }
    singleton = new TileManager(suitDefs);
    singleton->addRef();
}

void TileManager::releaseInstance() {
    if (singleton != nullptr) {
        TileManager* old = singleton;
        singleton = nullptr;
        old->release();
    }
}

TileManager* TileManager::instance() {
    return singleton;
}

TileSuit* TileManager::getSuit(int32_t number) const {
    if (number < 0 || number >= getSuitCount()) {
        return nullptr;
    }
    return suits[number].get();
}

bool TileManager::matchesAsWhole(int32_t number) const {
    const TileSuit* suit = getSuit(number);
    return suit != nullptr && suit->matchesAsWhole();
}

int32_t TileManager::usableSize(int32_t number) const {
    const TileSuit* suit = getSuit(number);
    if (suit == nullptr || suit->getSize() < 1 || suit->getSize() > MAX_SUIT_SIZE) {
        return 0;
    }
    return suit->getSize();
}

void TileManager::dealDefs(int32_t count, int32_t copies, int32_t groupSize, int32_t regularSuits,
                           std::vector<RefHolder<TileDef>>& out) const {
    // Suit numbers past the list have no faces; stopping there also bounds the loops.
    regularSuits = std::clamp(regularSuits, 0, getSuitCount());
    Deal deal{*this, copies, groupSize, regularSuits, 0, out};
    for (int32_t suit = 0; suit < regularSuits; ++suit) {
        deal.regularSum += usableSize(suit);
    }
    const int64_t round = (deal.regularSum * deal.copies + deal.groupSize) * 2;
    int64_t left = count;
    if (left < round) {
        deal.remainderDeal(left);
        return;
    }
    while (left >= round) {
        const size_t before = out.size();
        left = deal.specialDeal(left);
        deal.appendRegularSuits(2 * deal.copies, left);
        if (out.size() == before) {
            // Nothing to deal from (no suits, or a round of size 0): the count never falls.
            break;
        }
    }
    if (left > 0) {
        deal.remainderDeal(left);
    }
}
