# shellcheck shell=bash
# Shared by the tests of a user's own programs (sourced): installing the package into a fresh
# prefix, taking a marked block of README.md, and checking a screenshot for the first program's
# red circle.

# Installs BUILD's package into PREFIX (emptied first); the log goes to LOG.
install_package() {
    local build=$1 prefix=$2 log=$3
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >"$log" 2>&1 \
        || { cat "$log"; echo "FAIL: cmake --install $build did not succeed"; return 1; }
}

# The red circle of radius 50 around drawing point (0, 0), the middle of the graphics window's
# client area (the window sits at the screen's top left): its red pixels span about 101 x 101,
# centred on the client area, and the corners of that box are not red, so it is a circle.
check_red_circle() {
    local shot=$1 box w h x y cx cy corner
    [[ -f "$shot" ]] || { echo "FAIL: no screenshot $shot"; return 1; }
    box=$(convert "$shot" -crop 601x540+0+0 +repage -fuzz 10% -fill black +opaque red -trim \
              -format '%w %h %X %Y' info: 2>/dev/null) || true
    read -r w h x y <<<"$box"
    if [[ -z "${w:-}" ]] || ((w < 95 || w > 105 || h < 95 || h > 105)); then
        echo "FAIL: red circle in $shot: expected about 101 x 101 px of red, found '${box:-nothing}'"
        return 1
    fi
    cx=$((${x#+} + w / 2)) cy=$((${y#+} + h / 2))
    # The client area lies below the caption and the menu bar: x centre 300, y centre lower down.
    if ((cx < 296 || cx > 304 || cy < 260 || cy > 310)); then
        echo "FAIL: red circle in $shot: expected its centre near (300, 260..310), found ($cx, $cy)"
        return 1
    fi
    corner=$(convert "$shot" -crop "1x1+${x#+}+${y#+}" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)
    if [[ "$corner" != "255,255,255" ]]; then
        echo "FAIL: red circle in $shot: expected white at the corner of its box, found $corner"
        return 1
    fi
}

# The lines of the fenced block that follows "<!-- readme-test: NAME -->" in the README.
readme_block() {
    local text
    text=$(awk -v name="$1" '
        $0 == "<!-- readme-test: " name " -->" { armed = 1; next }
        armed && /^```/ { if (inside) exit; inside = 1; next }
        inside { print }' "${readme:?}")
    [[ -n "$text" ]] || { echo "FAIL: README.md has no block marked 'readme-test: $1'" >&2; return 1; }
    printf '%s\n' "$text"
}

