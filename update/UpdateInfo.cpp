#include "update/UpdateInfo.h"

#include <json/json.h>

namespace {

const char* const kFieldNames[]
    = { "new_version", "min_version", "version", "version_name", "version_url", "signature", nullptr };

} // namespace

void UpdateInfo::WriteFields(Json::Value& root) const
{
    root[kFieldNames[0]] = newVersion;
    root[kFieldNames[1]] = minVersion;
    root[kFieldNames[2]] = version;
    root[kFieldNames[3]] = versionName;
    root[kFieldNames[4]] = versionUrl;
    if (!signature.empty())
        root[kFieldNames[5]] = signature;
}

bool UpdateInfo::ReadFields(const Json::Value& root)
{
    newVersion = root[kFieldNames[0]].asString();
    minVersion = root[kFieldNames[1]].asString();
    version = root[kFieldNames[2]].asString();
    versionName = root[kFieldNames[3]].asString();
    versionUrl = root[kFieldNames[4]].asString();
    signature = root[kFieldNames[5]].asString();
    return true;
}

bool UpdateInfo::IsValid() const { return !version.empty(); }

const char* const* UpdateInfo::FieldNames() const { return kFieldNames; }
