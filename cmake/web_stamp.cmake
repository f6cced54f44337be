# Writes the page's offline worker with the build's stamp: the version and a digest of the page's
# files, so that every build has a worker and a cache of its own. The digest is SHA-256 over the
# lines `sha256sum` would print for the files, which the worker checks again when it fetches them;
# it comes from the files' contents alone, never from the time, so the page is the same byte for
# byte whenever it is built from the same sources.
#   cmake -DSITE=dir -DVERSION=x -DTEMPLATE=service_worker.js -DOUTPUT=file -P web_stamp.cmake
set(files index.html index.js index.wasm manifest.webmanifest icon-32.png icon-128.png icon-256.png
    icon.svg)
set(listing "")
set(quoted "")
foreach(name IN LISTS files)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND listing "${hash}  ${name}\n")
  list(APPEND quoted "'${name}'")
endforeach()
string(SHA256 GRAVITY_WEB_DIGEST "${listing}")
list(JOIN quoted ", " GRAVITY_WEB_FILES)
set(GRAVITY_WEB_VERSION ${VERSION})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
