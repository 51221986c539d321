// A settings file that enables every writer and leaves everything else to the
// defaults the first save writes: the demo runs on it, and so do the checks
// that exercise all the writers at once, in-process and on the Windows module.
#pragma once

namespace vantelo {

inline constexpr char kEveryWriterSettings[] = "[Global Options]\r\n"
                                               "EnableViewScale=True\r\n"
                                               "EnableSheetMetal=True\r\n"
                                               "EnableMassVolume=True\r\n"
                                               "EnablePartsList=True\r\n"
                                               "EnableTimeStamp=True\r\n"
                                               "EnablePaperSize=True\r\n";

} // namespace vantelo
