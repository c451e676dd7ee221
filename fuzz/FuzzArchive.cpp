// The data archive: every member of a zip file located, opened and read whole, and one member
// read by name through the whole-file reader.
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "framework/platform/FileArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::files();
    const fuzz::InputFile input("archive", data, size);
    const std::string& path = input.path();
    RefHolder<FileArchive> archive(new FileArchive(path));
    int members = 0;
    for (bool more = archive->goToFirstFile(); more && members < 64;
         more = archive->goToNextFile(), ++members) {
        if (archive->openCurrentFile()) {
            MemoryBuffer buffer;
            archive->readAll(buffer);
            archive->closeCurrentFile();
        }
    }
    FileArchive::open(2, path);
    MemoryBuffer buffer;
    FileArchive::readFile(2, "media/properties/text.xml", buffer);
    FileArchive::close();
    return 0;
}
