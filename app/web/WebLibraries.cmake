# The libraries of the browser build, under the names the native build's find_package gives them.
# SDL2 is Debian's source built for Emscripten (scripts/web.sh passes SDL2_DIR); OpenAL and WebGL
# come with Emscripten; the header-only libraries are read from their Debian packages through a
# folder of links, since /usr/include itself would mix the machine's C library into the build.
# Exceptions are caught in the browser too: a bad content file must not end the page.
add_compile_options(-fexceptions -sUSE_SDL=0)
add_link_options(-fexceptions -sUSE_SDL=0)

# Its package names the static library SDL2::SDL2 too.
find_package(SDL2 CONFIG REQUIRED)

set(web_headers ${CMAKE_BINARY_DIR}/debian-headers)
file(MAKE_DIRECTORY ${web_headers})
foreach(entry nlohmann glm tiny_gltf.h)
    file(CREATE_LINK /usr/include/${entry} ${web_headers}/${entry} SYMBOLIC)
endforeach()

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${web_headers})
add_library(glm::glm INTERFACE IMPORTED)
target_include_directories(glm::glm INTERFACE ${web_headers})
add_library(PkgConfig::STB INTERFACE IMPORTED)
target_include_directories(PkgConfig::STB INTERFACE /usr/include/stb)
add_library(OpenAL::OpenAL INTERFACE IMPORTED)
target_link_options(OpenAL::OpenAL INTERFACE -lopenal)
# GL comes from Emscripten's WebGL 2 headers.
add_library(PkgConfig::EPOXY INTERFACE IMPORTED)

add_library(fuzz_parsers STATIC ${PROJECT_SOURCE_DIR}/tests/fuzz/ParserLibraries.cpp)
target_include_directories(fuzz_parsers PUBLIC ${web_headers} /usr/include/stb)
