#include "game/profile/TrophyList.h"

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"

namespace {

// Game texts write the thousands separator of large numbers as "%1".
std::wstring textWithGrouping(const std::string& key) {
    std::wstring text = getBasicText(key);
    wstringReplace(text, L"%1", getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL"), true);
    return text;
}

TrophyInfo readInfo(const PropertyNode* node, const std::string& defaultSection) {
    TrophyInfo info;
    info.section = defaultSection;
    info.image = node->getChildValue("image")->getValue();
    const auto readText = [&](const char* key, std::string& field) {
        if (node->getChild(key) != nullptr) {
            field = node->getChildValue(key)->getValue();
        }
    };
    readText("headerId", info.headerId);
    readText("textId", info.textId);
    readText("section", info.section);
    if (node->getChild("x") != nullptr) {
        info.x = node->getChildValue("x")->getInt();
    }
    if (node->getChild("y") != nullptr) {
        info.y = node->getChildValue("y")->getInt();
    }
    return info;
}

}  // namespace

std::wstring TrophyInfo::headerText() const {
    std::wstring text = textWithGrouping(headerId);
    wstringTrim(text, true, true);
    return text;
}

std::wstring TrophyInfo::bodyText(bool plus) const {
    std::wstring text = textWithGrouping(textId);
    // Most bodies have no "%2" and so no "_PLUS" text to look up.
    if (text.find(L"%2") != std::wstring::npos) {
        wstringReplace(text, L"%2", plus ? getBasicText(textId + "_PLUS") : std::wstring(), false);
    }
    wstringTrim(text, true, true);
    return text;
}

const TrophyInfo& Trophy::getInfo(int32_t index) const {
    static const TrophyInfo none;
    if (index < 0 || index >= static_cast<int32_t>(infos.size())) {
        return none;
    }
    return infos[index];
}

TrophyList::TrophyList(const std::string& definitionFile) {
    RefHolder<PropertyStore> store(new PropertyStore());
    store->loadFile(definitionFile);  // an unreadable file leaves the tree empty
    if (store->getChild("SAVE_NOT_SHOWN_AS_NEW") != nullptr) {
        saveNotShownAsNew = store->getChildValue("SAVE_NOT_SHOWN_AS_NEW")->getBool();
    }
    defaultSection = store->getChildValue("TROPHY_SECTION")->getValue();
    const PropertyVector* definitions = store->getChildVector("TROPHIES");
    for (int32_t i = 0; i < definitions->getChildCount(); ++i) {
        const PropertyNode* definition = nodeOrDummy(definitions->getChildAt(i));
        const PropertyVector* entries = definition->getChildVector("trophyinfos");
        RefHolder<Trophy> trophy(new Trophy());
        for (int32_t j = 0; j < entries->getChildCount(); ++j) {
            trophy->infos.push_back(readInfo(nodeOrDummy(entries->getChildAt(j)), defaultSection));
        }
        trophies.push_back(trophy);
    }
}

void TrophyList::load(PropertyNode* node) {
    const PropertyVector* saved = nodeOrDummy(node)->getChildVector("trophyVector");
    for (int32_t i = 0; i < saved->getChildCount() && i < size(); ++i) {
        trophies[i]->state = saved->getChildAt(i)->getInt();
    }
}

void TrophyList::save(PropertyNode* node) const {
    if (node == nullptr || node->isDummy()) {
        return;
    }
    auto* saved = static_cast<PropertyVector*>(node->addChild(new PropertyVector("trophyVector")));
    for (const RefHolder<Trophy>& trophy : trophies) {
        const bool seen = saveNotShownAsNew && trophy->state != Trophy::NOT_EARNED;
        saved->addChild(new PropertyValue("", seen ? int32_t{Trophy::SEEN} : trophy->state));
    }
}

Trophy* TrophyList::getTrophy(int32_t index) const {
    if (index < 0 || index >= size()) {
        return nullptr;
    }
    return trophies[index].get();
}
