// The module do.dll loads for the runs that need pictures or the network (see MediaPart.h).

#include "Child.h"
#include "DirectLink.h"
#include "MediaPart.h"
#include "Picture.h"
#include "Simulator.h"

extern "C" __attribute__((visibility("default"))) const brenlow::tool::MediaPart* brenlow_tool_media_part()
{
    using namespace brenlow::tool;
    // The module holds its own copy of the child runner: its programs (ffmpeg) run under the guard
    // too.
    EnableGuard();
    static const MediaPart part{kMediaPartVersion, &FetchForPicture, &PictureToJpeg, &WriteDemoPicture,
                                &RunDirect};
    return &part;
}
