# Run at install time: the pages that name the data folder are filled with the
# folder under the prefix being installed to (the package's /usr, or the one
# given to cmake --install), compressed without a time stamp and installed.
#
# In: KALVO_PAGES (the page sources), KALVO_PAGE_DIR (a folder of the build),
# PROJECT_VERSION, KALVO_DATADIR and KALVO_MANDIR (relative to the prefix).
set(KALVO_FULL_DATADIR ${CMAKE_INSTALL_PREFIX}/${KALVO_DATADIR})
foreach(page ${KALVO_PAGES})
  get_filename_component(name ${page} NAME)
  configure_file(${page} ${KALVO_PAGE_DIR}/${name} @ONLY)
  execute_process(COMMAND gzip -9nf ${KALVO_PAGE_DIR}/${name} COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL ${KALVO_PAGE_DIR}/${name}.gz DESTINATION ${CMAKE_INSTALL_PREFIX}/${KALVO_MANDIR})
endforeach()
