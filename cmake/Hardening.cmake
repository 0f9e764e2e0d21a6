# Hardening for everything we build, as Debian builds its packages: checked
# string and memory calls (_FORTIFY_SOURCE, which needs optimisation, so not
# in Debug trees) and read-only relocations bound at load time (relro, now).
# Sanitizer trees leave them out: the sanitizers replace the same calls.
# Windows DLLs and programs get the PE counterparts instead: address space
# randomisation (64-bit) and non-executable data.
if(WIN32)
  add_link_options(-Wl,--dynamicbase,--nxcompat,--high-entropy-va)
elseif(NOT VB_SANITIZE AND NOT VB_TSAN)
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro,-z,now)
endif()
