# Cross-builds for arm64 with Debian's toolchain (g++-aarch64-linux-gnu)
# against NORVALE_ARM64_ROOT, an arm64 root made by scripts/arm64-root; what
# is built runs there under qemu-aarch64 (Debian package qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NORVALE_ARM64_ROOT)
set(CMAKE_FIND_ROOT_PATH ${NORVALE_ARM64_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The linker looks into the libraries SDL needs in the root; those it cannot
# find there (in private folders, as PulseAudio's) are left to the loader.
foreach(kind EXE SHARED)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wl,--allow-shlib-undefined \
-Wl,-rpath-link,${NORVALE_ARM64_ROOT}/usr/lib/aarch64-linux-gnu:${NORVALE_ARM64_ROOT}/lib/aarch64-linux-gnu")
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${NORVALE_ARM64_ROOT})
# A Debian package for arm64, its dependencies read off the root's libraries
# (cpack is run with the root's dpkg database, DPKG_ADMINDIR, and
# DEB_HOST_ARCH=arm64).
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${NORVALE_ARM64_ROOT}/usr/lib/aarch64-linux-gnu ${NORVALE_ARM64_ROOT}/lib/aarch64-linux-gnu)
