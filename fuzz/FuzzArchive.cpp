// The data archive: every member of a zip file located, opened and read whole, and one member
// read by name through the whole-file reader.
#include <cstdio>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "framework/platform/FileArchive.h"

namespace {

// minizip opens the archive by name, so the input goes to a real file.
std::string archivePath() {
    static const std::string path = fuzz::scratchFile("archive");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::inputLimit) {
        return 0;
    }
    fuzz::files();
    {
        std::ofstream out(archivePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    RefHolder<FileArchive> archive(new FileArchive(archivePath()));
    int members = 0;
    for (bool more = archive->goToFirstFile(); more && members < 64;
         more = archive->goToNextFile(), ++members) {
        if (archive->openCurrentFile()) {
            MemoryBuffer buffer;
            archive->readAll(buffer);
            archive->closeCurrentFile();
        }
    }
    FileArchive::open(2, archivePath());
    MemoryBuffer buffer;
    FileArchive::readFile(2, "media/properties/text.xml", buffer);
    FileArchive::close();
    return 0;
}
