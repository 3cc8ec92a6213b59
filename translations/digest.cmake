# Records the digest of the English translation as built, for the program to check the
# installed file against before it loads it: a damaged translation must not reach Qt.
#   cmake -DTRANSLATION=<velmora_en.qm> -DHEADER=<translationdigest.h> -P digest.cmake
file(SHA256 "${TRANSLATION}" VELMORA_TRANSLATION_SHA256)
# Written only when the digest changes, so an unchanged translation rebuilds nothing.
file(CONFIGURE OUTPUT "${HEADER}" CONTENT [[
// Written by the build from velmora_en.qm; do not edit.
#pragma once

namespace TranslationDigest {

// SHA-256 of the English translation, in lower-case hexadecimal.
constexpr char English[] = "@VELMORA_TRANSLATION_SHA256@";

} // namespace TranslationDigest
]] @ONLY)
