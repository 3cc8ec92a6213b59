# Records the digest of the English translation as built, for the program to check the
# installed file against before it loads it: a damaged translation must not reach Qt.
#   cmake -DTRANSLATION=<velmora_en.qm> -DTEMPLATE=<translationdigest.h.in> -DHEADER=<translationdigest.h> -P digest.cmake
file(SHA256 "${TRANSLATION}" VELMORA_TRANSLATION_SHA256)
# Written only when the digest changes, so an unchanged translation rebuilds nothing.
configure_file("${TEMPLATE}" "${HEADER}" @ONLY)
