#pragma once

// Puts " version <running version>  internalVer <internal version> \r\n" on the
// clipboard as text; does nothing when there is no clipboard. GUI thread only.
void CopyVersionInfoToClipboard();
