#include "game/dialogs/DialogRoomInfo.h"

#include "framework/core/ObjectFactoryContainer.h"

QUOVEL_DEFINE_TYPE(DialogRoomInfo, &DialogInfoPop::typeRecord)
QUOVEL_REGISTER_CLASS(DialogRoomInfo)

namespace {

constexpr int32_t TEXT_MARGIN = 25;

}  // namespace

DialogRoomInfo::DialogRoomInfo(PropertyNode* definition) : DialogInfoPop(definition) {
    textLabel = objectCast<Label>(findChild("LABEL_TEXT"));
    addFadingLabel(textLabel);
}

DialogRoomInfo::~DialogRoomInfo() = default;

void DialogRoomInfo::setText(const std::wstring& text) {
    if (!textLabel) {
        return;
    }
    textLabel->setText(text);
    textLabel->renderText();
    setWidth(textLabel->getWidth() + TEXT_MARGIN);
    placeComponents();
}
