# Run by `cmake --install` (install(SCRIPT)): writes the menu entry with the
# program's full path, since a per-user prefix's bin need not be on the
# desktop's PATH. Follows `--prefix DIR` and DESTDIR. Needs
# vocamo_entry_source, the entry as kept in desktop/.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program "${CMAKE_INSTALL_PREFIX}/bin/vocamo")

# Exec's own rules: % starts a field code; a path with a reserved character
# is quoted, with ", `, $ and \ escaped inside the quotes. Then the rule of
# every string value: each \ is written \\.
string(REPLACE "%" "%%" program "${program}")
if(program MATCHES "[] \t\"'\\\\<>~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" program "${program}")
  set(program "\"${program}\"")
endif()
string(REPLACE "\\" "\\\\" program "${program}")

file(READ "${vocamo_entry_source}" entry)
string(REPLACE "\nExec=vocamo " "\nExec=${program} " entry "${entry}")
file(MAKE_DIRECTORY "${root}/share/applications")
file(WRITE "${root}/share/applications/vocamo.desktop" "${entry}")
message(STATUS "Installing: ${root}/share/applications/vocamo.desktop")
