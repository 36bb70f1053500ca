# The Debian package python3-kelvora, built by CPack from the python preset's build: the
# install component `python` (python/CMakeLists.txt), which `cmake --install --component
# python` installs as well. `make package` writes build/python/python3-kelvora_<version>_amd64.deb;
# docs/packaging.md explains it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME python3-kelvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kelvora authors")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "thermocouple and resistance thermometer conversions for numpy")
set(CPACK_PACKAGE_DESCRIPTION [=[
The Python module kelvora converts thermocouple EMFs (ITS-90 types S, R, B,
K, N, E, J and T, against any cold-junction temperature) and the resistances
of platinum, copper and nickel resistance thermometers (IEC 60751, with a
certificate's own coefficients too) to temperatures and back, gives Seebeck
coefficients, tolerance classes and graduation tables, with the very numbers
of the Kelvora calculator's C++ core.

Its conversions are numpy ufuncs: they take numbers, numpy arrays, pandas
Series and dask arrays, and run without the GIL.]=])
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};python;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvora authors <kelvora@placeholder.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SOURCE kelvora)

# Depends: what dpkg-shlibdeps finds in the extension, and the interpreter and numpy it was
# built for (python/CMakeLists.txt).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${KELVORA_PYTHON_DEPENDS}")

# Byte-compiled after installing and the byte code removed before removing, as every Debian
# Python package does (py3compile, py3clean), so a purge leaves nothing behind.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/python/debian/postinst ${PROJECT_SOURCE_DIR}/python/debian/prerm)

include(${CMAKE_CURRENT_LIST_DIR}/debian_archive.cmake)
