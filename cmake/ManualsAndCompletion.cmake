# The manual pages and the shell completion of the programs (not on Windows).
# The pages are written in scdoc (docs/man/*.1.scd), made into roff and
# compressed (gzip -9n) at build time; completion scripts come from
# res/completion. Tests: each page renders without a warning, and the bash
# completion offers what it should (scripts/test-completion).
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/res/completion/nodewright-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME nodewright-cli)
install(FILES ${PROJECT_SOURCE_DIR}/res/completion/_nodewright-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)

find_program(NW_SCDOC scdoc)
find_program(NW_GZIP gzip)
set(_nw_pages)
foreach(program nodewright nodewright-cli nodewright-sim)
  if(TARGET ${program})
    list(APPEND _nw_pages ${program})
  endif()
endforeach()
if(NOT NW_SCDOC OR NOT NW_GZIP)
  message(WARNING "scdoc or gzip not found: no manual pages (scripts/install-deps installs scdoc)")
  set(_nw_pages)
endif()

set(_nw_roff_pages)
foreach(page IN LISTS _nw_pages)
  set(_src ${PROJECT_SOURCE_DIR}/docs/man/${page}.1.scd)
  set(_roff ${CMAKE_BINARY_DIR}/man/${page}.1)
  add_custom_command(
    OUTPUT ${_roff} ${_roff}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "\"$0\" < \"$1\" > \"$2\" && \"$3\" -9n -c \"$2\" > \"$2.gz\""
            ${NW_SCDOC} ${_src} ${_roff} ${NW_GZIP}
    DEPENDS ${_src}
    COMMENT "Manual page ${page}(1)"
    VERBATIM)
  list(APPEND _nw_roff_pages ${_roff})
  install(FILES ${_roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(_nw_roff_pages)
  add_custom_target(nodewright_man ALL DEPENDS ${_nw_roff_pages})
endif()

if(NW_BUILD_TESTS)
  find_program(NW_GROFF groff)
  if(_nw_roff_pages AND NW_GROFF)
    # groff -ww reports every warning on stderr; a page renders clean or fails.
    add_test(NAME man_pages
             COMMAND sh -c "s=0; for f; do w=$(\"${NW_GROFF}\" -man -Tutf8 -ww -z \"$f\" 2>&1); \
[ -z \"$w\" ] || { echo \"$f: $w\"; s=1; }; done; exit $s" sh ${_nw_roff_pages})
    set_tests_properties(man_pages PROPERTIES LABELS docs)
  endif()
  add_test(NAME completion COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/test-completion
                                   ${PROJECT_SOURCE_DIR})
  set_tests_properties(completion PROPERTIES LABELS docs)
endif()
