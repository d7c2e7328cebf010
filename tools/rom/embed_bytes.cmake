# Writes the bytes of INPUT as a C++ array named NAME into OUTPUT.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR bytes "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," array "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    "
       array "${array}")
file(WRITE "${OUTPUT}"
     "// Generated from ${INPUT} by embed_bytes.cmake\n#include \"boot_program.h\"\n\n"
     "const uint8_t ${NAME}[] = {\n    ${array}\n};\nconst size_t ${NAME}Size = ${bytes};\n")
