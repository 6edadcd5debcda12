// Feeds arbitrary bytes to the XML engine: parse, navigate, read and edit
// attributes, and checks after every step that the index still describes the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "config/XmlDocument.h"
#include "config/XmlUtf8.h"
#include "unit/config/XmlIndexCheck.h"

namespace {

void Fail(const std::string& what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

void CheckIndex(const XmlDocument& document, const char* step)
{
    const std::string problem = CheckXmlIndex(document);
    if (!problem.empty())
        Fail(std::string(step) + ": " + problem);
}

// After in-place edits the index must equal what a fresh parse of the text builds.
void CheckAgainstReparse(const XmlDocument& edited)
{
    XmlDocument fresh;
    fresh.SetFlags(edited.GetFlags());
    fresh.SetDocText(edited.GetDocText());
    if (fresh.ElementCount() != edited.ElementCount())
        Fail("element count differs from a fresh parse");
    for (int e = 0; e < fresh.ElementCount(); ++e) {
        const XmlElementRecord& a = fresh.Record(e);
        const XmlElementRecord& b = edited.Record(e);
        if (a.start != b.start || a.length != b.length || a.tagLengths != b.tagLengths || a.parent != b.parent
            || a.nextSibling != b.nextSibling || a.firstChild != b.firstChild)
            Fail("record " + std::to_string(e) + " differs from a fresh parse");
    }
}

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size)
        : data(data)
        , size(size)
    {
    }
    std::uint8_t Next() { return position < size ? data[position++] : 0; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

// Scratch files of this process, removed when it exits.
struct ScratchFiles {
    ~ScratchFiles()
    {
        std::remove(load.c_str());
        std::remove(save.c_str());
    }
    const std::string load = "/tmp/zandrel-xml-fuzz-" + std::to_string(::getpid()) + ".xml";
    const std::string save = "/tmp/zandrel-xml-fuzz-" + std::to_string(::getpid()) + "-saved.xml";
};

const ScratchFiles& Scratch()
{
    static const ScratchFiles files;
    return files;
}

std::u16string LoadThroughFile(const std::uint8_t* data, std::size_t size, XmlDocument& document)
{
    const std::string& path = Scratch().load;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    if (!document.LoadFile(path))
        Fail("LoadFile failed on a readable file");
    return document.GetDocText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes steer the run, the document follows; the edit script is
    // taken from the document's own bytes so that mutations reach both.
    Bytes script(data, size);
    const std::uint8_t mode = script.Next();
    const std::uint8_t steps = script.Next();
    const std::uint8_t* body = data + 2;
    const std::size_t bodySize = size - 2;

    XmlDocument document;
    if (mode & 1)
        document.SetFlags(XmlDocument::kIgnoreCase);
    if (mode & 2) {
        LoadThroughFile(body, bodySize, document);
    } else {
        document.SetDocText(XmlDecodeUtf8(reinterpret_cast<const char*>(body), bodySize));
    }
    CheckIndex(document, "parse");
    if (!document.IsWellFormed() && document.GetResult().empty())
        Fail("ill-formed document without a message");
    if (XmlDecodeUtf8(
            XmlEncodeUtf8(document.GetDocText()).c_str(), XmlEncodeUtf8(document.GetDocText()).size())
        != document.GetDocText())
        Fail("UTF-8 round trip changed the text");

    static const char16_t* const kNames[] = { nullptr, u"Channel", u"a", u"b", u"url", u"x" };
    Bytes moves(body, bodySize);
    bool edited = false;
    for (int i = 0; i < (steps & 63); ++i) {
        const std::uint8_t move = moves.Next();
        const char16_t* name = kNames[(move >> 3) % 6];
        switch (move & 7) {
        case 0:
            document.Rewind();
            break;
        case 1:
            document.FindElement(name);
            break;
        case 2:
            document.FindChild(name);
            break;
        case 3:
            document.EnterChild();
            break;
        case 4:
            document.LeaveElement();
            break;
        case 5: {
            const int element = move & 0x80 ? document.GetChild() : document.GetCurrent();
            document.GetAttribute(element, name ? name : u"url");
            break;
        }
        default: {
            const int element = move & 0x80 ? document.GetChild() : document.GetCurrent();
            std::u16string value;
            for (int n = moves.Next() & 15; n > 0; --n)
                value.push_back(static_cast<char16_t>(u' ' + moves.Next() % 95));
            const std::u16string attribute = name ? name : u"url";
            if (document.SetAttribute(element, attribute, value)) {
                edited = true;
                if (document.GetAttribute(element, attribute) != value
                    && document.GetAttribute(element, attribute).empty() == value.empty())
                    Fail("attribute does not read back");
                CheckIndex(document, "edit");
            }
            break;
        }
        }
        if (document.GetCurrent() < 0 || document.GetCurrent() >= document.ElementCount()
            || document.GetChild() < 0 || document.GetChild() >= document.ElementCount())
            Fail("position outside the index");
    }
    if (edited)
        CheckAgainstReparse(document);
    if ((mode & 12) == 12) {
        const std::string& path = Scratch().save;
        if (!document.SaveFile(path))
            Fail("SaveFile failed");
        XmlDocument reread;
        if (!reread.LoadFile(path) || reread.GetDocText() != document.GetDocText())
            Fail("save and load changed the text");
    }
    return 0;
}
