#!/usr/bin/env bash
# The lab tool's web pages in a real browser: headless Chromium loads the matrix of the sample
# disc and the report of a run, each inside a checking page that follows every link of the page
# (the section it names must become the target and come into view) and decodes every picture
# the page draws its dialogs with. The pages must load without one message on the browser's
# console (a request the page's policy refused would be one), and nothing may fail.
#   html-in-chromium.sh SETUP-SIM EXAMPLES [SCREENSHOTS]
# With SCREENSHOTS, pictures of both pages are saved there too (the README's).
# Exit code 77 (skipped) when Chromium is not installed.
set -uo pipefail
tool=$1
examples=$2
screenshots=${3:-}
browser=$(command -v chromium || command -v chromium-browser) || {
  echo "Chromium is not installed (scripts/install-deps.sh all installs it)"
  exit 77
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$tool" matrix --disc "$examples/disc" --machines "$examples/machines" --commands all \
  --html "$scratch/matrix.html" > /dev/null || { echo "FAIL: matrix --html"; exit 1; }
"$tool" run --machine "$examples/machines/win98se" --disc "$examples/disc" --dialog main=click:3 \
  --dialog architecture=click:1004,click:1 --dialog restart=click:1001,click:1 \
  --html "$scratch/run.html" > /dev/null || { echo "FAIL: run --html"; exit 1; }

cat > "$scratch/check.html" <<'PAGE'
<!DOCTYPE html>
<html><body>
<iframe id="matrix" src="matrix.html" style="width:1200px;height:800px"></iframe>
<iframe id="run" src="run.html" style="width:1200px;height:800px"></iframe>
<pre id="result"></pre>
<script>
var lines = [];
var pictures = [];
function check(frame) {
  var page = frame.contentDocument;
  var links = page.querySelectorAll('a[href^="#"]');
  var working = 0;
  links.forEach(function (link) {
    var id = link.getAttribute('href').slice(1);
    link.click();
    var target = page.querySelector(':target');
    if (target && target.id === id && Math.abs(target.getBoundingClientRect().top) < 2) {
      working++;
    } else {
      lines.push('FAIL ' + frame.id + ': the link to #' + id + ' leads nowhere');
    }
  });
  lines.push(frame.id + ': ' + working + ' of ' + links.length + ' links work');
  page.querySelectorAll('.picture').forEach(function (element) {
    var url = getComputedStyle(element).backgroundImage.replace(/^url\("?|"?\)$/g, '');
    var image = document.createElement('img');
    image.src = url;
    image.dataset.from = frame.id + ' ' + element.className;
    document.body.appendChild(image);
    pictures.push(image);
  });
  lines.push(frame.id + ': ' + page.querySelectorAll('.window').length + ' dialogs drawn');
}
['matrix', 'run'].forEach(function (id) {
  document.getElementById(id).onload = function () { check(this); };
});
window.onload = function () {
  var drawn = 0;
  pictures.forEach(function (image) {
    if (image.naturalWidth > 0) drawn++;
    else lines.push('FAIL picture not drawn: ' + image.dataset.from);
  });
  lines.push(drawn + ' of ' + pictures.length + ' pictures drawn');
  document.getElementById('result').textContent = lines.join('\n');
};
</script>
</body></html>
PAGE

flags=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run
       --disable-background-networking --disable-component-update --disable-sync)
"$browser" "${flags[@]}" --user-data-dir="$scratch/profile" --allow-file-access-from-files \
  --enable-logging=stderr --v=0 --dump-dom "file://$scratch/check.html" \
  > "$scratch/dom.html" 2> "$scratch/browser.log"
result=$(sed -n '/<pre id="result">/,/<\/pre>/p' "$scratch/dom.html" | sed 's/<[^>]*>//g')
echo "$result"
failed=0
fail() { echo "FAIL $1"; failed=1; }
grep -q "FAIL" <<< "$result" && failed=1
# 28 rows, and a link back to the table above and below each run.
grep -q "^matrix: 84 of 84 links work" <<< "$result" || fail "matrix: not every link works"
grep -q "^run: 0 of 0 links work" <<< "$result" || fail "run: no checking result"
grep -q "^matrix: [1-9][0-9]* dialogs drawn" <<< "$result" || fail "matrix: no dialog drawn"
grep -q "^run: 3 dialogs drawn" <<< "$result" || fail "run: not its three dialogs drawn"
grep -q "^\([1-9][0-9]*\) of \1 pictures drawn" <<< "$result" || fail "pictures"
# The pages write nothing to the console; the checking page is ours.
if grep "CONSOLE" "$scratch/browser.log" | grep -v "check.html"; then
  fail "the pages wrote to the browser's console"
fi

if [ -n "$screenshots" ]; then
  "$browser" "${flags[@]}" --user-data-dir="$scratch/profile2" --hide-scrollbars \
    --window-size=1100,760 --screenshot="$screenshots/report-matrix.png" \
    "file://$scratch/matrix.html" 2> /dev/null
  "$browser" "${flags[@]}" --user-data-dir="$scratch/profile3" --hide-scrollbars \
    --window-size=1100,1300 --screenshot="$screenshots/report-run.png" \
    "file://$scratch/run.html" 2> /dev/null
fi
[ $failed -eq 0 ] && echo "the pages load without a message, their links work, their pictures draw"
exit $failed
