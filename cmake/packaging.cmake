# The Debian package, built by CPack from the same install rules as `cmake --install`:
# `make package` writes build/release/kelvora_<version>_amd64.deb. docs/packaging.md explains
# each field and what lintian says about the result.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kelvora authors")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for thermocouples and resistance thermometers")
set(CPACK_PACKAGE_DESCRIPTION [=[
Kelvora is a small, exact desktop calculator for instrument and process
engineers who work with standard temperature sensors. In one window it turns
a temperature into the EMF of an ITS-90 thermocouple (types S, R, B, K, N, E,
J and T) against a cold-junction temperature and an EMF back into a
temperature, and a temperature into the resistance of a Pt100, Pt10, Cu100 or
Cu50 resistance thermometer and back, recomputing on every keystroke.
The command kelvora-cli gives the same numbers from the command line, in
bulk: single conversions, columns of readings, and graduation tables as
text, CSV, JSON or a C array.

Its window's texts are in Chinese. It reads and writes no files and keeps no
settings.]=])

# Debian's required fields. The address is a placeholder: the project has none yet.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvora authors <kelvora@placeholder.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Libraries as dpkg-shlibdeps finds them in the binary; beside them a font that shows the
# Chinese texts, and Qt's platform plugins, without which the window cannot open (Qt's GUI
# library only recommends them).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-qpa-plugins")

include(${CMAKE_CURRENT_LIST_DIR}/debian_archive.cmake)
