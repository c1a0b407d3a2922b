// Frame decoding of the document's video: the time range, and the handles through which every frame
// is decoded (AVIStreamGetFrame on pgfVideo) and drawn (DrawDibBegin and DrawDibDraw on hddVideo).
#pragma once

void OpenFrameAccess();
void CloseFrameAccess();
