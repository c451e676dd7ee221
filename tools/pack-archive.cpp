// Packs a folder into the game's data archive (a zip file). Files that the game reads in the
// scrambled archive mode are stored scrambled under their name + ".!"; every other file is
// stored as it is.
//
//     pack-archive <folder> <archive> [scramble-list]
//
// A file is scrambled when the folder's resource list "media/properties/resources.xml" has a
// resource of that "file" whose "archive" is "encryptzip", or when the scramble list names it.
// The scramble list names one file per line, relative to the folder; blank lines and lines
// starting with "#" are skipped. Members are stored in name order with a fixed date, so the
// same folder always gives the same archive.

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "framework/core/DataScrambler.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"

namespace fs = std::filesystem;

namespace {

bool readWhole(const fs::path& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string trimmed(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool readScrambleList(const fs::path& file, std::set<std::string>& names) {
    std::ifstream in(file);
    if (!in) {
        std::cerr << "pack-archive: cannot read the scramble list " << file << "\n";
        return false;
    }
    for (std::string line; std::getline(in, line);) {
        const std::string name = trimmed(line);
        if (!name.empty() && name.front() != '#') {
            names.insert(toLowerPath(name));
        }
    }
    return true;
}

// Adds the files of every resource below `property` that is read with "encryptzip".
void collectScrambledResources(const AbstractProperty& property, std::set<std::string>& names) {
    if (const auto* node = objectCast<PropertyNode>(&property)) {
        const std::string file = node->getChildValue("file")->getValue();
        if (node->getChildValue("archive")->getValue() == "encryptzip" && !file.empty()) {
            names.insert(toLowerPath(file));
        }
        for (const auto& [name, child] : node->getNameTable()) {
            collectScrambledResources(*child, names);
        }
    } else if (const auto* vector = objectCast<PropertyVector>(&property)) {
        for (int32_t i = 0; i < vector->getChildCount(); ++i) {
            collectScrambledResources(*vector->getChildAt(i), names);
        }
    }
}

// The scrambled resources of the folder's resource list; a folder without one has none.
bool readResourceList(const fs::path& folder, std::set<std::string>& names) {
    const fs::path list = folder / "media/properties/resources.xml";
    if (!fs::exists(list)) {
        return true;
    }
    RefHolder<PropertyStore> resources(new PropertyStore(list.string()));
    resources->setSourceMode(1);
    if (!resources->load()) {
        std::cerr << "pack-archive: cannot read the resource list " << list << "\n";
        return false;
    }
    collectScrambledResources(*resources, names);
    return true;
}

// Every regular file below `folder`, as "/"-separated relative names in order.
bool listFiles(const fs::path& folder, std::vector<std::string>& names) {
    std::error_code error;
    fs::recursive_directory_iterator it(folder, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file()) {
            names.push_back(fs::relative(it->path(), folder).generic_string());
        }
    }
    if (error) {
        std::cerr << "pack-archive: cannot list " << folder << ": " << error.message() << "\n";
        return false;
    }
    std::sort(names.begin(), names.end());
    return true;
}

bool addMember(zipFile zip, const std::string& name, const std::string& bytes) {
    zip_fileinfo info{};
    return zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                               Z_DEFLATED, Z_BEST_COMPRESSION) == ZIP_OK &&
           zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK &&
           zipCloseFileInZip(zip) == ZIP_OK;
}

bool pack(const fs::path& folder, const fs::path& archive, std::set<std::string> scrambled) {
    std::vector<std::string> names;
    if (!listFiles(folder, names)) {
        return false;
    }
    const fs::path partial = archive.string() + ".partial";
    zipFile zip = zipOpen(partial.string().c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        std::cerr << "pack-archive: cannot create " << partial << "\n";
        return false;
    }
    bool ok = true;
    for (const std::string& name : names) {
        std::string bytes;
        if (!readWhole(folder / name, bytes) || bytes.size() > 0xFFFFFFFFu) {
            std::cerr << "pack-archive: cannot read " << name << "\n";
            ok = false;
            break;
        }
        std::string memberName = name;
        if (scrambled.erase(toLowerPath(name)) > 0) {
            DataScrambler::apply(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
            memberName += ".!";
        }
        if (!addMember(zip, memberName, bytes)) {
            std::cerr << "pack-archive: cannot store " << memberName << "\n";
            ok = false;
            break;
        }
    }
    // A name left over is a file the list promised but the folder lacks.
    for (const std::string& missing : scrambled) {
        std::cerr << "pack-archive: " << missing << " is listed to scramble but not present\n";
        ok = false;
    }
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    std::error_code error;
    if (ok) {
        fs::rename(partial, archive, error);
        ok = !error;
    }
    if (!ok) {
        fs::remove(partial, error);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: pack-archive <folder> <archive> [scramble-list]\n";
        return 2;
    }
    FileArchive::installPropertyFileHooks();
    std::set<std::string> scrambled;
    if (!readResourceList(argv[1], scrambled) ||
        (argc == 4 && !readScrambleList(argv[3], scrambled))) {
        return 1;
    }
    return pack(argv[1], argv[2], std::move(scrambled)) ? 0 : 1;
}
