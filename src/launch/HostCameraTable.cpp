#include "launch/LaunchMessage.h"

namespace korvan {

// Model names as the host spells them. Only models with a camera file can be preselected; the
// host may send the others too, and the calculator then says it does not recognise them.
const HostCameraEntry hostCameraTable[kHostCameraRows + 1] = {
    {"Korvan Falke 250", "falke250.cam"},
    {"Korvan Falke 250 Mono", "falke250.cam"},
    {"Korvan Falke 500", "falke500.cam"},
    {"Korvan Falke 1000", "falke1000.cam"},
    {"Korvan Falke 1000 Mono", "falke1000.cam"},
    {"Korvan Sperber 2K", "sperber2k.cam"},
    {"Korvan Sperber 4K", "sperber4k.cam"},
    {"Korvan Sperber 4K Color", "sperber4k.cam"},
    {"Korvan Milan 8000", "milan8000.cam"},
    {"Korvan Milan 16000", "milan16k.cam"},
    {"Korvan Bussard HD", "bussardhd.cam"},
    {"Korvan Bussard XS", "bussardxs.cam"},
    {"Korvan Falke 125", ""},
    {"Korvan Falke 125 Mono", ""},
    {"Korvan Falke 500 Mono", ""},
    {"Korvan Falke 2000", ""},
    {"Korvan Falke 2000 Mono", ""},
    {"Korvan Sperber 1K", ""},
    {"Korvan Sperber 2K Color", ""},
    {"Korvan Sperber 8K", ""},
    {"Korvan Sperber 8K Color", ""},
    {"Korvan Milan 4000", ""},
    {"Korvan Milan 8000 Color", ""},
    {"Korvan Milan 32000", ""},
    {"Korvan Bussard SD", ""},
    {"Korvan Bussard HD Color", ""},
    {"Korvan Bussard XS Color", ""},
    {"Korvan Adler 100", ""},
    {"Korvan Adler 200", ""},
    {"Korvan Adler 400", ""},
    {"Korvan Adler 400 IR", ""},
    {"Korvan Kauz 60", ""},
    {"Korvan Kauz 120", ""},
    {"Korvan Kauz 240", ""},
    {"Korvan Reiher 1", ""},
    {"Korvan Reiher 2", ""},
    {"Korvan Reiher 3 Lab", ""},
    {"Korvan Eule NV", ""},
    {"Korvan Eule NV2", ""},
    {"Korvan Taucher UW", ""},
    {"Korvan Taucher UW2", ""},
    {"", ""},
};

}  // namespace korvan
