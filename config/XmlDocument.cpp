#include "config/XmlDocument.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "config/XmlAttributes.h"
#include "config/XmlFileWrite.h"
#include "config/XmlTokenizer.h"
#include "config/XmlUtf8.h"

namespace {

// The runtime's message for an error number, cut before the first line break.
std::u16string ErrorText(int error)
{
    std::u16string message = AsciiToUtf16(std::strerror(error));
    const std::size_t cut = message.find_first_of(u"\r\n");
    if (cut != std::u16string::npos)
        message.erase(cut);
    return message;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

XmlDocument::XmlDocument() { index.Reset(8); }

void XmlDocument::SetDocText(const char16_t* newText)
{
    SetDocText(newText ? std::u16string(newText) : std::u16string());
}

void XmlDocument::SetDocText(const std::u16string& newText)
{
    text = newText;
    result.clear();
    Parse();
}

bool XmlDocument::LoadFile(const std::string& path)
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result = ErrorText(errno);
        return false;
    }
    std::string bytes;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0 && size <= INT_MAX)
            bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(file.get());
    }
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        // Offsets are ints; a file past that range cannot be indexed safely.
        if (bytes.size() + got > static_cast<std::size_t>(INT_MAX)) {
            result = ErrorText(EFBIG);
            return false;
        }
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get())) {
        result = ErrorText(errno ? errno : EIO);
        return false;
    }
    text = XmlDecodeUtf8(bytes.data(), bytes.size());
    result = XmlFormat("%s%d bytes to %d wide chars",
        { std::u16string(), static_cast<int>(bytes.size()), static_cast<int>(text.size()) });
    file.reset();
    Parse();
    return true;
}

bool XmlDocument::SaveFile(const std::string& path)
{
    const std::string bytes = XmlEncodeUtf8(text);
    if (const int error = WriteFileBytes(path, bytes)) {
        result = ErrorText(error);
        return false;
    }
    result = XmlFormat("%d wide chars to %s%d bytes",
        { static_cast<int>(text.size()), std::u16string(), static_cast<int>(bytes.size()) });
    return true;
}

bool XmlDocument::Parse()
{
    const std::u16string oldResult = std::move(result);
    result.clear();
    Rewind();
    const int length = static_cast<int>(text.size());
    index.Reset(length / 64 + 8);
    nextFree = 1;

    std::u16string message;
    bool illFormed = false;
    auto note = [&message, &illFormed](std::u16string problem) {
        illFormed = true;
        if (message.empty())
            message = std::move(problem);
    };

    if (length > 0) {
        const XmlTokenizer tokenizer(text);
        std::vector<int> open;
        open.reserve(6);
        const bool ignoreCase = (flags & kIgnoreCase) != 0;
        for (int offset = 0;;) {
            const XmlNode node = tokenizer.Next(offset);
            if (node.kind == XmlNodeKind::EndOfText)
                break;
            offset = node.offset + node.length;
            if (node.kind == XmlNodeKind::Element) {
                const int element = AddElement(open.empty() ? 0 : open.back(), node.offset, node.length);
                if (node.emptyElement)
                    index[element].length = node.length;
                else
                    open.push_back(element);
            } else if (node.kind == XmlNodeKind::EndTag) {
                const char16_t* name = text.data() + node.offset + 2;
                const int nameLength = XmlTokenizer::NameLength(name, text.data() + offset);
                int match = static_cast<int>(open.size()) - 1;
                for (; match >= 0; --match) {
                    const XmlElementRecord& record = index[open[static_cast<std::size_t>(match)]];
                    const char16_t* startName = text.data() + record.start + 1;
                    if (XmlTokenizer::NameLength(startName, text.data() + length) == nameLength
                        && XmlAttributes::SameName(startName, name, nameLength, ignoreCase))
                        break;
                }
                const std::u16string endName(name, static_cast<std::size_t>(nameLength));
                if (match < 0) {
                    note(XmlFormat("No start tag for end tag '%s' at offset %d", { endName, node.offset }));
                    continue;
                }
                if (match != static_cast<int>(open.size()) - 1) {
                    const int inner = open.back();
                    note(XmlFormat("End tag '%s' at offset %d does not match start tag '%s' at offset %d",
                        { endName, node.offset, ElementName(inner), index[inner].start }));
                    for (std::size_t k = static_cast<std::size_t>(match) + 1; k < open.size(); ++k)
                        CloseNotEnded(open[k]);
                    open.resize(static_cast<std::size_t>(match) + 1);
                }
                XmlElementRecord& record = index[open.back()];
                record.length = offset - record.start;
                record.SetTagLengths(record.StoredStartTagLength(), static_cast<std::uint32_t>(node.length));
                open.pop_back();
            } else if (node.kind == XmlNodeKind::Error) {
                note(node.error);
            }
        }
        if (!open.empty()) {
            note(XmlFormat("Element '%s' at offset %d not ended",
                { ElementName(open.back()), index[open.back()].start }));
            // Outermost first: each one is then the last child of its new parent.
            for (const int element : open)
                CloseNotEnded(element);
        }
    }

    FinishLevels();
    XmlElementRecord& document = index[0];
    document.length = length;
    document.Set(XmlElementRecord::kIllFormed, illFormed);
    if (length == 0)
        message = u"Empty document";
    else if (document.firstChild == 0)
        message = u"No root element";
    else if (index[document.firstChild].nextSibling != 0)
        message = u"Root element has sibling";

    Rewind();
    if (!oldResult.empty() && !message.empty())
        result = oldResult + u", " + message;
    else
        result = oldResult.empty() ? message : oldResult;
    return IsWellFormed();
}

int XmlDocument::AddElement(int parentElement, int start, int startTagLength)
{
    const int element = nextFree++;
    index.EnsureRoom(element);
    XmlElementRecord& record = index[element];
    record = XmlElementRecord();
    record.start = start;
    record.SetTagLengths(static_cast<std::uint32_t>(startTagLength), 0);
    record.parent = parentElement;
    XmlElementRecord& owner = index[parentElement];
    if (owner.firstChild == 0) {
        owner.firstChild = element;
        record.previousSibling = element;
    } else {
        XmlElementRecord& first = index[owner.firstChild];
        const int last = first.previousSibling;
        index[last].nextSibling = element;
        record.previousSibling = last;
        first.previousSibling = element;
    }
    return element;
}

void XmlDocument::CloseNotEnded(int element)
{
    // The element shrinks to its start tag and its children become its following
    // siblings; it is always its parent's last child while it is open.
    XmlElementRecord& record = index[element];
    record.length = StartTagLength(element);
    record.SetTagLengths(record.StoredStartTagLength(), 0);
    record.Set(XmlElementRecord::kNotEnded, true);
    const int first = record.firstChild;
    if (first == 0)
        return;
    record.firstChild = 0;
    const int owner = record.parent;
    for (int moved = first; moved != 0; moved = index[moved].nextSibling)
        index[moved].parent = owner;
    const int last = index[first].previousSibling;
    record.nextSibling = first;
    index[first].previousSibling = element;
    index[index[owner].firstChild].previousSibling = last;
}

void XmlDocument::FinishLevels()
{
    // Parents always precede their children in the index, so one pass sets every level.
    for (int i = 1; i < nextFree; ++i) {
        XmlElementRecord& record = index[i];
        const XmlElementRecord& owner = index[record.parent];
        record.SetLevel(owner.Level() + 1);
        record.Set(XmlElementRecord::kFirstChild, owner.firstChild == i);
    }
}

bool XmlDocument::IsWellFormed() const
{
    const XmlElementRecord& document = index[0];
    return !document.Has(XmlElementRecord::kIllFormed) && document.firstChild != 0
        && index[document.firstChild].nextSibling == 0;
}

int XmlDocument::StartTagLength(int element) const
{
    const XmlElementRecord& record = index[element];
    const std::uint32_t stored = record.StoredStartTagLength();
    if (stored < XmlElementRecord::kMaxStartTagLength)
        return static_cast<int>(stored);
    return XmlTokenizer(text).Next(record.start).length;
}

std::u16string XmlDocument::ElementName(int element) const
{
    if (!ValidElement(element))
        return std::u16string();
    const char16_t* name = text.data() + index[element].start + 1;
    return std::u16string(
        name, static_cast<std::size_t>(XmlTokenizer::NameLength(name, text.data() + text.size())));
}
