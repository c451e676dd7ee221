#pragma once

#include <string>
#include <vector>

#include "tools/font-baker/FontBaker.h"

namespace fontbaker {

// The pairs of one kerning amount in the description's kerning text: items behind "#", in
// lower-case hexadecimal; an item 0 announces a left character, the items after it are the
// right characters that pair with it ("#0#41#56#57" kerns AV and AW).
struct KerningGroup {
    int amount = 0;
    std::string text;
};

// One group per distinct amount, in ascending order of amount; pairs keep the order given.
std::vector<KerningGroup> kerningGroups(const std::vector<KerningPair>& pairs);

// Layer image file names beside a description named `baseName`: "<base>-<kind>.png", with
// the layer's position appended to a kind that occurs more than once.
std::vector<std::string> layerFileNames(const BakedFont& font, const std::string& baseName);

// The description as XML text: a "font" node with "chars" and "kerning", and a "layers" list
// whose entries name their images (given relative to the description's folder).
std::string describeFont(const BakedFont& font, const std::vector<std::string>& imageNames);

// Writes "<outputBase>.xml" and the layer images beside it.
bool writeFontFiles(const BakedFont& font, const std::string& outputBase, std::string& error);

}  // namespace fontbaker
