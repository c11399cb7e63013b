# The Debian package as a user gets it: cpack builds it from the build folder, dpkg -x
# unpacks it into a throwaway root, and the installed programs run from there with the
# system's libraries only.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=... -DCPACK=... -DDPKG=... -DDPKG_DEB=...
#         -DAPPSTREAMCLI=... -P InstallTest.cmake

foreach(variable IN ITEMS BUILD_DIR WORK_DIR VERSION CPACK DPKG DPKG_DEB APPSTREAMCLI)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "InstallTest.cmake needs -D${variable}=...")
    endif()
endforeach()

# run(OUTPUT_VARIABLE COMMAND...): runs a command that must succeed; its standard output.
function(run output)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "${command} failed (${status}):\n${out}\n${err}")
    endif()
    set(${output} "${out}" PARENT_SCOPE)
endfunction()

# expect(TEXT CONDITION...): fails with TEXT unless the condition holds.
macro(expect text)
    if(NOT (${ARGN}))
        message(FATAL_ERROR "${text}")
    endif()
endmacro()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

run(architecture "${DPKG}" --print-architecture)
string(STRIP "${architecture}" architecture)
run(cpack_out "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}/out")
set(deb "${WORK_DIR}/out/wavelorn_${VERSION}_${architecture}.deb")
expect("cpack wrote no ${deb}:\n${cpack_out}" EXISTS "${deb}")

# The control fields: version, section, and the dependencies dpkg-shlibdeps computed.
run(fields "${DPKG_DEB}" --field "${deb}" Package Version Section Maintainer Depends Description)
foreach(field IN ITEMS "Package: wavelorn\n" "Version: ${VERSION}\n" "Section: sound\n" "Maintainer: "
                       "Description: " "libc6 (>= " "libqt6widgets6 (>= " "libstdc++6 (>= ")
    string(FIND "${fields}" "${field}" at)
    expect("the package's control fields lack \"${field}\":\n${fields}" NOT at EQUAL -1)
endforeach()

# The files, where Debian keeps them.
run(listing "${DPKG_DEB}" --contents "${deb}")
foreach(path IN ITEMS usr/bin/wavelorn usr/bin/wavelorn-cli usr/share/applications/wavelorn.desktop
                      usr/share/icons/hicolor/48x48/apps/wavelorn.png
                      usr/share/icons/hicolor/scalable/apps/wavelorn.svg
                      usr/share/metainfo/org.wavelorn.Wavelorn.metainfo.xml usr/share/man/man1/wavelorn.1.gz
                      usr/share/man/man1/wavelorn-cli.1.gz usr/share/doc/wavelorn/changelog.gz
                      usr/share/bash-completion/completions/wavelorn-cli
                      usr/share/zsh/vendor-completions/_wavelorn-cli
                      usr/share/fish/vendor_completions.d/wavelorn-cli.fish)
    string(FIND "${listing}" " ./${path}\n" at)
    expect("the package lacks /${path}:\n${listing}" NOT at EQUAL -1)
endforeach()

set(root "${WORK_DIR}/root")
run(unpacked "${DPKG}" -x "${deb}" "${root}")
set(clean_environment "${CMAKE_COMMAND}" -E env --unset=LD_LIBRARY_PATH --unset=DISPLAY --unset=WAYLAND_DISPLAY
                      --unset=QT_QPA_PLATFORM)

run(cli_version ${clean_environment} "${root}/usr/bin/wavelorn-cli" --version)
expect("wavelorn-cli --version printed \"${cli_version}\"" cli_version STREQUAL "wavelorn-cli ${VERSION}\n")
run(gui_version ${clean_environment} "${root}/usr/bin/wavelorn" --version)
expect("wavelorn --version printed \"${gui_version}\"" gui_version STREQUAL "wavelorn ${VERSION}\n")

# The completion scripts are those the installed program writes from its command definitions.
foreach(shell_script IN ITEMS "bash:bash-completion/completions/wavelorn-cli" "zsh:zsh/vendor-completions/_wavelorn-cli"
                              "fish:fish/vendor_completions.d/wavelorn-cli.fish")
    string(REPLACE ":" ";" shell_script "${shell_script}")
    list(GET shell_script 0 shell)
    list(GET shell_script 1 script)
    run(written ${clean_environment} "${root}/usr/bin/wavelorn-cli" --completion ${shell})
    file(READ "${root}/usr/share/${script}" installed)
    expect("/usr/share/${script} is not what wavelorn-cli --completion ${shell} writes" installed STREQUAL written)
endforeach()

set(disk "${WORK_DIR}/disk")
run(demo ${clean_environment} "${root}/usr/bin/wavelorn-cli" demo "${disk}")
foreach(file IN ITEMS FNB.BIN HFS.BIN FNB.TXT)
    expect("wavelorn-cli demo wrote no ${file}" EXISTS "${disk}/${file}")
endforeach()
run(list ${clean_environment} "${root}/usr/bin/wavelorn-cli" list "${disk}")
string(FIND "${list}" "01 : Sine Demo" at)
expect("wavelorn-cli list of the demo disk printed:\n${list}" NOT at EQUAL -1)

# What software centres read of the installed tree: the metainfo with the desktop entry
# and the icon it names.
run(tree "${APPSTREAMCLI}" validate-tree --no-net "${root}")

# The manual pages: the programs' own help with the hand-written sections; wavelorn-cli's
# names every command in its NAME line and shows an archive among its examples.
run(cli_page gzip -dc "${root}/usr/share/man/man1/wavelorn-cli.1.gz")
foreach(part IN ITEMS "list, export, import and archive" "wavelorn-cli archive /tmp/disk")
    string(FIND "${cli_page}" "${part}" at)
    expect("the manual page wavelorn-cli(1) lacks \"${part}\"" NOT at EQUAL -1)
endforeach()
foreach(page IN ITEMS wavelorn wavelorn-cli)
    run(text gzip -dc "${root}/usr/share/man/man1/${page}.1.gz")
    string(TOUPPER "${page}" title)
    foreach(part IN ITEMS ".TH ${title} \"1\"" "${page} ${VERSION}" ".SH \"EXIT STATUS\"" ".B FNB.BIN" ".B 8b32NNSS.SSS")
        string(FIND "${text}" "${part}" at)
        expect("the manual page ${page}(1) lacks \"${part}\"" NOT at EQUAL -1)
    endforeach()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
