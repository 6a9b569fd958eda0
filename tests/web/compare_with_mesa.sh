#!/bin/sh
# Runs the WebGL subset's CPU tests under Node, then draws the views of scene_pictures.cpp with
# Mesa's offscreen renderer and with the subset in headless Chromium, and prints how far apart
# each pair of pictures is.
#   tests/web/compare_with_mesa.sh [WORK_DIR]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:-$(mktemp -d)}
mkdir -p "$work/generated/model" "$work/mesa" "$work/page"
export NODE_PATH=/usr/share/nodejs  # emcc's optimiser needs acorn from Debian's node modules

# shellcheck disable=SC2086
em++ -std=c++17 -O1 -Wall -Wextra -Werror -I"$root/src" -I"$root/src/webgl/include" -o "$work/gl_subset_test.js" \
  "$root/tests/web/gl_subset_test.cpp" "$root"/src/webgl/*.cpp -sMAX_WEBGL_VERSION=2
node --no-experimental-fetch "$work/gl_subset_test.js"

# The mesh tables, from the program's own generator.
c++ -O2 -o "$work/generate_mesh_tables" "$root/src/model/generator/generate_mesh_tables.cpp"
"$work/generate_mesh_tables" "$work/generated/mesh_tables.cpp" "$work/generated/model/mesh_counts.h"

scene="$root/src/scene/viewer_state.cpp $root/src/scene/init_scene.cpp $root/src/scene/render_frame.cpp
  $root/src/scene/accumulate_rotation.cpp $root/src/model/draw_mesh.cpp $work/generated/mesh_tables.cpp"
flags="-std=c++17 -O2 -Wall -Wextra -Werror -I$root -I$root/src -I$work/generated"

# shellcheck disable=SC2086
c++ $flags -o "$work/scene_pictures" "$root/tests/web/scene_pictures.cpp" $scene -lOSMesa
# shellcheck disable=SC2086
em++ $flags -I"$root/src/webgl/include" -o "$work/page/scene_pictures.js" \
  "$root/tests/web/scene_pictures.cpp" $scene "$root"/src/webgl/*.cpp \
  -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2 -sSINGLE_FILE -sALLOW_MEMORY_GROWTH
cat > "$work/page/index.html" <<'HTML'
<!doctype html><html><body><canvas id="canvas"></canvas><script src="scene_pictures.js"></script></body></html>
HTML

# No sandbox: test machines run this as root, where Chromium refuses its sandbox.
chromium --headless=new --no-sandbox --use-gl=angle --use-angle=swiftshader --enable-unsafe-swiftshader \
  --virtual-time-budget=30000 --dump-dom "file://$work/page/index.html" 2>/dev/null > "$work/page/dom.html"
python3 - "$work/page" <<'PY'
import base64, re, sys
page = sys.argv[1]
dom = open(page + "/dom.html").read()
for name, text in re.findall(r'<pre id="([^"]+)">([^<]*)</pre>', dom):
    open(f"{page}/{name}", "wb").write(base64.b64decode(text))
PY
"$work/scene_pictures" "$work/mesa" "$work/page"
