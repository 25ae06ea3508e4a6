# Turns a file into a C++ source that defines its bytes as a character
# array ending with a zero, for the files a program carries inside it, and
# the file's SHA-256 as a Content-Security-Policy source ('sha256-BASE64'):
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=Symbol -P EmbedFile.cmake
# defines Symbol[] and SymbolHash[].
# Bytes, not a string literal: no escaping, and no compiler's limit on the
# length of a literal.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Thirty-two bytes a line.
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")

include(${CMAKE_CURRENT_LIST_DIR}/CspHash.cmake)
lorvane_csp_hash(hash ${INPUT})

get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT} "// ${source}, embedded by cmake/EmbedFile.cmake.\n"
  "extern const char ${NAME}[];\nconst char ${NAME}[] = {\n${bytes}0};\n"
  "extern const char ${NAME}Hash[];\nconst char ${NAME}Hash[] = \"${hash}\";\n")
