// Bitmap font descriptions: glyphs, spacing and kerning read, then text measured and laid out
// with characters the font has and lacks.
#include <string>

#include "FuzzSupport.h"
#include "framework/platform/BitmapFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    RefHolder<PropertyStore> store = fuzz::parseStore(data, size);
    if (!store) {
        return 0;
    }
    RefHolder<BitmapFont> font(new BitmapFont(store->getChild("font")));
    const std::wstring text = L"Quovel AV To 1,5 \u00e9\u4e2d\U0001F600\t\n_";
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t which = 0; which < 3; ++which) {
        font->measureText(text, 0, length, which);
    }
    font->measureText(text, 3, 200, 0);
    TextLayout layout;
    font->layoutText(text, layout, 0, length);
    font->getCellHeight();
    font->getLineHeight();
    return 0;
}
