#pragma once

#include <string>

class AppConfig;

// The live-show site's address without a trailing "/": the url of <Site url="..."/> in
// config.xml, or the build's default when the element or its value is missing.
// Callers append the path ("/?miniClient=1", "/brivo/miniclient/startRecord.action").
std::u16string SiteUrl(AppConfig& config);
std::u16string SiteUrl();
