#include "game/rules/TileSuit.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(TileSuit, &BaseObject::typeRecord)
QUOVEL_REGISTER_CLASS_AS(Suit, TileSuit)

namespace {

const char* const MATCH_WORDS[] = {"exact", "suit"};

}  // namespace

TileSuit::TileSuit(PropertyNode* definition)
    : size(definition->getChildValue("size")->getInt()),
      appearances(definition->getChildValue("numAppears")->getInt()),
      image(definition->getChildValue("image")->getValue()),
      matchType(definition->getChoice("matchType", MATCH_WORDS, MATCH_EXACT)),
      faceColumn(definition->getChildValue("faceXIdx")->getInt()),
      faceRow(definition->getChildValue("faceYIdx")->getInt()) {}
