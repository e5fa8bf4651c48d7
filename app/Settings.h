#pragma once

namespace brenlow {

/** Product settings: the addresses of the start page, the maker's site and two product pages,
 *  and the captions of their links. The start page itself is bundled in the resources. */
namespace ProductSettings {

inline constexpr char StartPage[] = "https://www.example.com/brenlow/start.html";
/** The bundled page the web pane shows for the start page address. */
inline constexpr char StartPageResource[] = ":/app/start.html";
inline constexpr char MakerSite[] = "https://www.example.com/";
inline constexpr char MakerSiteCaption[] = "www.example.com";
inline constexpr char ProductPage1[] = "https://www.example.com/products/brenlow-converter";
inline constexpr char ProductPage1Caption[] = "Brenlow Video Converter - convert your downloads";
inline constexpr char ProductPage2[] = "https://www.example.org/products/brenlow-player";
inline constexpr char ProductPage2Caption[] = "Brenlow Player";

} // namespace ProductSettings

/** The fixed command templates of the tool's four runs (txt1 .. txt5). The thumbnail template's
 *  placeholder folder is replaced by the application folder at start-up. */
namespace Templates {

inline constexpr char ThumbnailPlaceholder[] = "C:\\Users\\qz\\Desktop";
inline constexpr char txt1[] = " -s --skip-download -i -F --no-playlist \"";
inline constexpr char txt2[] = " -o \"C:\\Users\\qz\\Desktop/aaa.jpg\" -i --write-thumbnail --no-playlist \"";
inline constexpr char txt3[] =
    " -s --skip-download -i --no-playlist --get-filename -o \"%(uploader)s - %(title)s\" \"";
inline constexpr char txt4[] = " -o \"";
inline constexpr char txt5[] = ".%(ext)s\" -i --no-playlist -f ";

} // namespace Templates
} // namespace brenlow
