# Fails when a file in a layer's folder includes a path with "..": the compiler looks such a
# path up beside the including file, past the include roots that keep the layers apart.
# Run by the build as: cmake -DFOLDER=<layer folder> -DSTAMP=<file touched when clean> -P ...
file(GLOB_RECURSE files ${FOLDER}/*.h ${FOLDER}/*.c ${FOLDER}/*.cpp)
set(found "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*/)?\\.\\.[/\">]")
  foreach(line IN LISTS lines)
    string(APPEND found "\n  ${file}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "An include with \"..\" reaches past the layer's include roots; "
                      "name the file from its layer's folder instead:${found}")
endif()
file(TOUCH ${STAMP})
