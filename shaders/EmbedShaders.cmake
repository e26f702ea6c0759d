# Writes every GLSL file of SHADER_DIR into OUTPUT as a C++ raw string, looked up by file name.
file(GLOB files ${SHADER_DIR}/*.glsl ${SHADER_DIR}/*.vert ${SHADER_DIR}/*.frag)
list(SORT files)
set(body "")
foreach(file ${files})
    get_filename_component(name ${file} NAME)
    file(READ ${file} text)
    string(APPEND body "    {\"${name}\", R\"glsl(${text})glsl\"},\n")
endforeach()
file(WRITE ${OUTPUT}.tmp
"// Generated from shaders/ at build time; edit the .glsl, .vert and .frag files instead.
#include \"framework/graphics/FwShaderSources.h\"

#include <utility>

namespace {
const std::pair<std::string_view, const char*> kSources[] = {
${body}};
}  // namespace

const char* FwShaderSource(std::string_view fileName) {
    for (const auto& [name, text] : kSources) {
        if (name == fileName) {
            return text;
        }
    }
    return nullptr;
}
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
