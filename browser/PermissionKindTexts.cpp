#include "browser/PermissionKindTexts.h"

std::u16string WhatIsWanted(unsigned types)
{
    for (const PermissionKindText& row : kPermissionKindTexts) {
        if ((types & row.types) == row.types)
            return row.wanted;
    }
    return u"使用你的设备";
}
