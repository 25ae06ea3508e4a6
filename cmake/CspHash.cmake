# lorvane_csp_hash(VAR FILE): the file's SHA-256 as a Content-Security-
# Policy source, 'sha256-BASE64=' in single quotes, for the files a page
# carries inline (cmake/EmbedFile.cmake, web/MakeApp.cmake).
function(lorvane_csp_hash var input)
  # CMake gives the digest in hex; the policy wants it in base64, three
  # bytes (six hex digits) to four characters, the last two bytes padded.
  file(SHA256 ${input} digest)
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
  set(${var} "'sha256-${base64}='" PARENT_SCOPE)
endfunction()
