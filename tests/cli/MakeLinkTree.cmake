# Makes a folder with links for the tool's walk: a link to a file, which is
# read, and a link to the folder itself, which must not be followed.
# Made here rather than by the test, since Wine cannot make links.
file(REMOVE_RECURSE ${TREE})
file(MAKE_DIRECTORY ${TREE})
file(COPY_FILE ${SAMPLE} ${TREE}/a.avi)
file(CREATE_LINK a.avi ${TREE}/file-link.avi SYMBOLIC)
file(CREATE_LINK . ${TREE}/loop SYMBOLIC)
