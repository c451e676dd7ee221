// The player list and the current player's profile. The profile class of the game is not
// there yet, so a small one stands in for it: it reads a few keys of each kind. The input is
// the list, then (after the first 0 byte, if any) the profile.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"

namespace {

class FuzzPlayer : public AbstractPlayer {
    QUOVEL_TYPE(FuzzPlayer)
public:
    explicit FuzzPlayer(PropertyNode* node) : AbstractPlayer(node) {}

    void writeProperties(AbstractProperty* target) override {
        AbstractPlayer::writeProperties(target);
        nodeOrDummy(target)->setTypeWord("FuzzPlayer");
    }
    void save(PropertyNode* node) override {
        node->addChild(new PropertyValue("pairs", pairs));
        node->addChild(new PropertyValue("title", title));
    }
    void load(PropertyNode* node) override {
        pairs = node->getChildValue("pairs")->getInt();
        title = node->getChildValue("title")->getValue();
        PropertyVector* scores = node->getChildVector("scores");
        for (int32_t i = 0; i < scores->getChildCount(); ++i) {
            pairs += scores->getChildAt(i)->getInt() & 1;
        }
        node->getChildNode("saved")->getChildValue("room")->getDouble();
    }

    int32_t pairs = 0;
    std::string title;
};

QUOVEL_DEFINE_TYPE(FuzzPlayer, &AbstractPlayer::typeRecord)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::inputLimit) {
        return 0;
    }
    static const bool registered = [] {
        ObjectFactoryContainer::instance()->add("FuzzPlayer", &createFromDefinition<FuzzPlayer>);
        return true;
    }();
    (void)registered;
    fuzz::files();
    fuzz::clearFiles();
    const uint8_t* split = std::find(data, data + size, uint8_t{0});
    const size_t listSize = static_cast<size_t>(split - data);
    const uint8_t* profile = split == data + size ? split : split + 1;

    RefHolder<PlayerManager> manager(new PlayerManager("1", false));
    fuzz::putFile(manager->getPlayersFileName(), data, listSize);
    manager->loadPlayers();
    if (AbstractPlayer* current = manager->getCurrentPlayer()) {
        fuzz::putFile(manager->getPlayerFilePath(current->getName()), profile,
                      static_cast<size_t>(data + size - profile));
        manager->loadPlayer(current);
    }
    manager->savePlayers();
    RefHolder<PlayerManager> again(new PlayerManager("1", false));
    again->loadPlayers();
    if (again->getPlayers().size() != manager->getPlayers().size()) {
        __builtin_trap();
    }
    return 0;
}
