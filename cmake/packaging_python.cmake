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

# Depends: what dpkg-shlibdeps finds in the extension, the interpreter it was built for (its
# ABI tag names one Python 3.x), and a numpy with the C ABI it was compiled against, which
# Debian's numpy records in /usr/share/numpy3/versions (as dh_numpy3 would add).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
math(EXPR kelvora_python_next_minor "${Python_VERSION_MINOR} + 1")
set(kelvora_python_depends
    "python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}~), python3 (<< ${Python_VERSION_MAJOR}.${kelvora_python_next_minor})")
set(kelvora_numpy_versions /usr/share/numpy3/versions)
if(EXISTS ${kelvora_numpy_versions})
    file(STRINGS ${kelvora_numpy_versions} kelvora_numpy_abi REGEX "^abi ")
    file(STRINGS ${kelvora_numpy_versions} kelvora_numpy_min REGEX "^api-min-version ")
    string(REGEX REPLACE "^abi " "" kelvora_numpy_abi "${kelvora_numpy_abi}")
    string(REGEX REPLACE "^api-min-version " "" kelvora_numpy_min "${kelvora_numpy_min}")
    string(APPEND kelvora_python_depends
        ", python3-numpy (>= ${kelvora_numpy_min}), python3-numpy-abi${kelvora_numpy_abi}")
else()
    string(APPEND kelvora_python_depends ", python3-numpy")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${kelvora_python_depends}")

# Byte-compiled after installing and the byte code removed before removing, as every Debian
# Python package does (py3compile, py3clean), so a purge leaves nothing behind.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/python/debian/postinst ${PROJECT_SOURCE_DIR}/python/debian/prerm)

# Stripped, directories 0755, control files with the permissions dpkg expects.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
