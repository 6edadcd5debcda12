#pragma once

#include "config/XmlDocument.h"

#include <cstdint>
#include <functional>
#include <string>

struct AppConfigField;

// The user's and the installation's settings, backed by config.xml in the program's
// folder. The program never creates that file; saving needs all four elements in it.
// Where the installation's file cannot be written (an installed program), saving goes to a
// per-user copy of it, which is read in its place from then on.
// One object per process, used on the UI thread only.
class AppConfig {
public:
    // The process's object over <program folder>/config.xml (or the user's copy of it under
    // <user config folder>/zandrel/), loaded on the first call.
    static AppConfig& Instance();
    // Tests only: makes Instance() an object freshly loaded from configFilePath
    // (same address, so references taken earlier stay valid).
    static AppConfig& ResetInstanceForTests(const std::u16string& configFilePath);

    // Loads configFilePath into the document (it stays empty when unreadable), then Load().
    explicit AppConfig(std::u16string configFilePath);
    // The same over the installation's file, with userCopyPath taking its place where the
    // installation's file cannot be written and the copy exists (or once a save has made it).
    AppConfig(std::u16string installationConfigPath, std::u16string userCopyPath);

    // Reads the fields out of the in-memory document; false at the first of
    // Channel, Update, Notify, Account that is missing (later fields keep their values).
    bool Load();
    // Writes the fields into the document and the document into filePath; false when an
    // element is missing (nothing is written) or the file could not be written.
    bool Save();

    // What config.xml holds; each saved field has its row in AppConfigElements().
    std::uint32_t notifyTime = 0;
    std::u16string notifyUrl;
    std::u16string accountPasswordUrl;
    std::u16string accountRegUrl;
    std::u16string updateUrl;
    std::u16string channelUrl;
    std::u16string channelVideo;
    std::u16string channelAudio;
    std::u16string channelIp;
    std::uint32_t channelAppId = 0;
    std::uint32_t channelSid = 0;
    std::uint32_t channelSubSid = 0;
    std::uint32_t channelPort = 0;
    bool channelRemote = false;
    bool channelLoop = false;
    bool powerboot = false;
    bool testMode = false;
    // Kept in memory only: never read from or saved to config.xml.
    bool minimizeOnClose = false;
    bool optionexit = false;
    XmlDocument document;
    std::u16string filePath;
    // The installation's own config.xml, never written when it cannot be; stays readable on its own.
    std::u16string installationFilePath;
    // Empty when there is no user folder to put a copy in.
    std::u16string userCopyFilePath;

private:
    bool UsesUserCopy() const;
    bool SelectElement(const char16_t* name);
    // Calls visit for each field of config.xml with its element entered; false at the first
    // element the document lacks, once the fields of the elements before it are visited.
    bool VisitFields(const std::function<void(const AppConfigField&)>& visit);
};
