#!/usr/bin/env bash
# Checks every #include of a source tree against the program's layers, and that the logic library
# never includes a QtWidgets header. Prints each offending file:line and fails when there is one.
#   check_layers.sh SRC_FOLDER QTWIDGETS_INCLUDE_FOLDER QTGUI_INCLUDE_FOLDER
set -u
src=${1:?source folder}
widgets_dir=${2:?QtWidgets include folder}
gui_dir=${3:?QtGui include folder}

# Which folders each layer includes: exactly the edges the code uses, so that a new dependency is
# a decision made here, not an accident. Model is the bottom; files, render, interact and search
# stand on it; app sits on top; platform/core stands beside, for the layers that call out.
declare -A allowed=(
  [model]="model"
  [files]="model files"
  [render]="model render platform/core"
  [interact]="model render interact"
  [search]="files search"
  [platform/core]="platform/core"
  [platform/fake]="platform/core platform/fake"
  [platform/qt]="platform/core platform/qt"
  [app/core]="model files render platform/core app/core"
  [app/ui]="model files render interact search platform/core platform/qt app/core app/ui"
  [main]="app/ui"
  [tools]="files render"
)
logic_layers=" model files render interact search platform/core app/core "

layer_of() {
  case $1 in
    app/* | platform/*) echo "${1%%/*}/$(cut -d/ -f2 <<<"$1")" ;;
    */*) echo "${1%%/*}" ;;
    *) echo main ;;
  esac
}

# Widget headers: everything in the QtWidgets folder that QtGui does not also provide.
declare -A widget_header=()
for header in "$widgets_dir"/*; do
  name=${header##*/}
  [ -e "$gui_dir/$name" ] || widget_header[$name]=1
done

failures=0
declare -A used=() # "layer target" for every include between two layers
while IFS= read -r -d '' file; do
  relative=${file#"$src"/}
  layer=$(layer_of "$relative")
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "$relative: folder '$layer' has no place in the layer table"
    failures=$((failures + 1))
    continue
  fi
  while IFS=: read -r line text; do
    if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      target=$(layer_of "${BASH_REMATCH[1]}")
      used["$layer $target"]=1
      if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
        echo "$relative:$line: $layer may not include ${BASH_REMATCH[1]}"
        failures=$((failures + 1))
      fi
    elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      if [[ $logic_layers == *" $layer "* ]] &&
        [[ $header == QtWidgets || $header == QtWidgets/* || -n ${widget_header[$header]+set} ]]; then
        echo "$relative:$line: the logic library may not include the widget header <$header>"
        failures=$((failures + 1))
      fi
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

# An edge the code no longer uses goes from the table too (a layer's own folder aside).
for layer in "${!allowed[@]}"; do
  for target in ${allowed[$layer]}; do
    if [ "$target" != "$layer" ] && [ -z "${used["$layer $target"]+set}" ]; then
      echo "the table lets $layer include $target, which nothing there does"
      failures=$((failures + 1))
    fi
  done
done

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) or table entries break the layers"
  exit 1
fi
echo "every include keeps to its layer, and the table lists only what is used"
