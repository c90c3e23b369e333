# The page, build/web/ovalith.html: the core, the WebSystem and WebView and
# the cipher library compiled with Emscripten, twice (portable, and SIMD128
# for the browsers that have it), in one self-contained HTML file.

# emcc's JavaScript optimizer needs Debian's node modules, which a node from
# elsewhere does not look for.
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK
  "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")

set(web_link_options
  -sMODULARIZE=1 -sEXPORT_NAME=OvalithModule -sENVIRONMENT=worker
  -sASYNCIFY=1 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=16MB
  -sEXPORTED_FUNCTIONS=_ovalith_run,_malloc,_free
  -sEXPORTED_RUNTIME_METHODS=ccall,lengthBytesUTF8,stringToUTF8
  -sFILESYSTEM=0 -sDYNAMIC_EXECUTION=0)

set(page_dir ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/web/page)
foreach(variant portable simd128)
  add_executable(ovalith_web_${variant}
    src/platform/web/web_system.cpp
    src/platform/web/windows_1252.cpp
    src/ui/web/web_view.cpp
    src/ui/web/main_web.cpp
  )
  target_link_libraries(ovalith_web_${variant} PRIVATE
    ovalith_core ovalith_des_${variant})
  target_link_options(ovalith_web_${variant} PRIVATE ${web_link_options} -O2)
endforeach()

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/ovalith.html
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/web/assemble_page.py
    --template ${page_dir}/ovalith.html
    --css ${page_dir}/page.css
    --page-js ${page_dir}/page.js
    --host-js ${page_dir}/web_host.js
    --glue $<TARGET_FILE:ovalith_web_portable>
    --glue-simd128 $<TARGET_FILE:ovalith_web_simd128>
    --wasm-portable $<TARGET_FILE_DIR:ovalith_web_portable>/ovalith_web_portable.wasm
    --wasm-simd128 $<TARGET_FILE_DIR:ovalith_web_simd128>/ovalith_web_simd128.wasm
    --output ${CMAKE_BINARY_DIR}/ovalith.html
  DEPENDS ovalith_web_portable ovalith_web_simd128
    ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/web/assemble_page.py
    ${page_dir}/ovalith.html ${page_dir}/page.css ${page_dir}/page.js
    ${page_dir}/web_host.js
  COMMENT "Assembling the page ovalith.html"
  VERBATIM)
add_custom_target(ovalith_page ALL DEPENDS ${CMAKE_BINARY_DIR}/ovalith.html)

# The cipher paths of both modules under node, for the web tests.
foreach(variant portable simd128)
  add_executable(des_paths_wasm_check_${variant}
    src/cipher/library/des_paths_wasm_check.cpp)
  target_link_libraries(des_paths_wasm_check_${variant} PRIVATE
    ovalith_des_${variant})
  target_link_options(des_paths_wasm_check_${variant} PRIVATE
    -sNODERAWFS=1 -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1 -sSINGLE_FILE=1
    -O3)
endforeach()
