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

# CMake gives the digest in hex; the policy wants it in base64, three
# bytes (six hex digits) to four characters, the last two bytes padded.
file(SHA256 ${INPUT} digest)
set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
set(base64 "")
foreach(at RANGE 0 62 6)
  string(SUBSTRING "${digest}000000" ${at} 6 group)
  math(EXPR value "0x${group}")
  foreach(shift 18 12 6 0)
    math(EXPR sextet "(${value} >> ${shift}) & 63")
    string(SUBSTRING ${alphabet} ${sextet} 1 char)
    string(APPEND base64 ${char})
  endforeach()
endforeach()
# 32 bytes: ten whole groups and two bytes, which give three characters.
string(SUBSTRING ${base64} 0 43 base64)

get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT} "// ${source}, embedded by cmake/EmbedFile.cmake.\n"
  "extern const char ${NAME}[];\nconst char ${NAME}[] = {\n${bytes}0};\n"
  "extern const char ${NAME}Hash[];\nconst char ${NAME}Hash[] = \"'sha256-${base64}='\";\n")
