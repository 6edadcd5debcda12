// The root-side step of an update. pkexec starts it with the installer the program downloaded and,
// when the update server signs, its signature. It runs nothing that root has not checked itself:
// it copies the file (never through a link) into a folder only root can enter, verifies that copy
// against the key in the installation's own config.xml, runs the copy (a Debian package through
// apt-get) and passes on its exit status.
#include "config/InstallationAttribute.h"
#include "platform/os/InstallStep.h"
#include "update/InstallerCommand.h"
#include "update/InstallerFileName.h"
#include "update/InstallerSignature.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Every refusal ends with this status; pkexec's own are 126 and 127.
constexpr int kRefused = 125;

int Refuse(const std::string& why)
{
    std::fprintf(stderr, "zandrel-install-update: %s; nothing was installed\n", why.c_str());
    return kRefused;
}

// The installation's file: beside the helper where it runs from the build folder, else in the
// program folder it was installed with.
fs::path InstallationConfig(const fs::path& helper)
{
    fs::path beside = helper.parent_path() / "config.xml";
    std::error_code ignored;
    if (fs::exists(beside, ignored))
        return beside;
    return (helper.parent_path() / ZANDREL_PROGRAM_FROM_HELPER / "config.xml").lexically_normal();
}

// The key attribute of <Update>; a key that is not ASCII is kept as an invalid one, so that it
// refuses every installer rather than none.
bool ReadUpdateKey(const fs::path& config, std::string& key)
{
    std::u16string value;
    if (!ReadInstallationAttribute(config.string(), u"Update", u"key", value))
        return false;
    key.clear();
    for (char16_t c : value)
        key += c < 0x80 ? static_cast<char>(c) : '?';
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return Refuse("usage: zandrel-install-update INSTALLER [SIGNATURE]");
    const fs::path helper = platform::os::ExecutableFilePath();
    const fs::path config = InstallationConfig(helper);
    // The key decides what runs as root: only a file that nobody but the helper's own owner (root,
    // once installed) can change may name it.
    const long long owner = platform::os::FileOwner(helper.string());
    if (!platform::os::IsWritableOnlyBy(config.string(), owner)
        || !platform::os::IsWritableOnlyBy(config.parent_path().string(), owner))
        return Refuse(config.string() + " may be changed by others than its owner");
    std::string key;
    if (!ReadUpdateKey(config, key))
        return Refuse("cannot read " + config.string());

    const std::string name = fs::path(argv[1]).filename().string();
    if (!IsPlainInstallerName(name))
        return Refuse("the installer's name is not a plain file name");
    std::string copy;
    const int copied = platform::os::CopyIntoPrivateFolder(argv[1], name, kLargestInstaller, copy);
    if (copied != 0)
        return Refuse(std::string("cannot copy the installer: ") + std::strerror(copied));
    if (!key.empty() && !InstallerSignatureIsValid(key, argc == 3 ? argv[2] : "", copy)) {
        platform::os::RemovePrivateCopy(copy);
        return Refuse("the installer is not signed by the installation's key");
    }
    const int status = platform::os::RunAndWait(InstallerCommand(copy));
    platform::os::RemovePrivateCopy(copy);
    return status;
}
