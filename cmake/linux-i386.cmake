# The native build with 32-bit pointers: the host's GCC with -m32 (Debian's
# g++-multilib), the programs run under qemu-i386 user-mode emulation. It
# puts the library's records, globals and raw configuration writers into
# the 4-byte-pointer layout of the 32-bit DLL, also for the tests that need
# the native test doubles (the win32 preset runs the rest under 32-bit Wine).
# One difference stays: i386 Linux aligns 8-byte members of structures to 4
# bytes, 32-bit Windows to 8.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
find_program(QUOREL_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUOREL_QEMU_I386})
