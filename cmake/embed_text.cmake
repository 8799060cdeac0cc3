# Writes a C++ source that holds the bytes of a file, so that a program
# carries the file in itself and reads nothing at run time:
#   cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DHEADER=HEADER.h -DFUNCTION=NAME -P embed_text.cmake
# The source defines `std::string_view NAME()`, declared in HEADER, whose
# text is the file's bytes as they are (no NUL added).
foreach(variable INPUT OUTPUT HEADER FUNCTION)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "embed_text.cmake: -D${variable}=... is missing")
  endif()
endforeach()
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
# Twenty bytes a line (CMake's expressions know no counted repeats).
string(REPEAT "[0-9a-f]" 40 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}" "// Made by cmake/embed_text.cmake from ${name}: its ${size} bytes.
#include \"${HEADER}\"

namespace {

const char kBytes[${size} + 1] = {
    ${bytes}0};

}  // namespace

std::string_view ${FUNCTION}() { return std::string_view(kBytes, ${size}); }
")
