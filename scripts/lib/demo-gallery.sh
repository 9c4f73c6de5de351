# Sourced by scripts/demo once the order display's session has ended (with $root, $out, win() and the
# demo's Wine environment): Slipview's picture gallery. Slipview starts hidden at the top-left corner
# of the virtual screen, takes a menu of six dishes, a scenario naming them and check data with two of
# them on the receipt, is shown, and its gallery goes through the dishes that are not on the receipt,
# one every 3 seconds; a screenshot every 3 seconds goes to out/demo/gallery-NN.png.
grun="$out/slipview-run"
mkdir -p "$grun/pics"
cp "$ZEB_RUN_BUILD/bin/Slipview.exe" "$grun/"
cp "$run/ZebStrings.xml" "$grun/"
gport=$((24000 + RANDOM % 8000))
printf '[LOGFILE]\r\nLog=3\r\n[REGSOCKET]\r\nHost=127.0.0.1\r\nPort=%s\r\n[SCREENPOSITION]\r\nCheckLeft=40\r\nCheckTop=40\r\n' \
  "$gport" > "$grun/Zebrane.ini"

dishes=("1|Borscht|#b03020|#f0a060" "2|Caesar salad|#409030|#d0f0a0" "3|Napoleon cake|#c08040|#fff0c0"
        "4|Cranberry mors|#a01040|#f080b0" "5|Pelmeni|#607080|#e0e8f0" "6|Blini with honey|#d09020|#fff080")
menu='<?xml version="1.0" encoding="utf-8"?><Menu>'
for d in "${dishes[@]}"; do
  IFS='|' read -r code name from to <<<"$d"
  # A plate on a coloured cloth, larger than the gallery's picture area, so that it is fitted down.
  /usr/bin/convert -size 900x600 "gradient:$from-$to" -fill 'rgba(255,255,255,0.85)' \
    -draw "circle 450,300 450,80" -fill "$from" -draw "circle 450,300 450,180" -quality 88 "$grun/pics/dish$code.jpg"
  menu+="<Dish Code=\"$code\" Name=\"$name\" LargeImagePath=\"dish$code.jpg;dish${code}_small.jpg\" Price=\"250\"/>"
done
printf '%s</Menu>' "$menu" > "$grun/menu.xml"
printf '<?xml version="1.0" encoding="utf-8"?><SceneList PicPath="%s\\"><Scene><parameters DishCodes="1,2,3" DishCode="4"/></Scene><Scene><parameters DishCodes="5,6"/></Scene></SceneList>' \
  "$(win "$grun/pics")" > "$grun/scenario.xml"
printf '<?xml version="1.0" encoding="utf-8"?><Check Currency="EUR"><CheckLines Codes="2,5"><Line Name="Caesar salad" Qnt="1" Price="280"/><Line Name="Pelmeni" Qnt="2" Price="320"/></CheckLines></Check>' \
  > "$grun/check.xml"

{
  echo "# Slipview: menu, scenario and check data, then a show; the gallery changes every 3 seconds."
  echo "listen $gport"
  echo "wait-registration 30000"
  echo "find Slipview 10000"
  echo "send-tag Slipview D4D4 $(win "$grun/menu.xml")"
  echo "send-tag Slipview D3D3 $(win "$grun/scenario.xml")"
  echo "send-check Slipview $(win "$grun/check.xml")"
  echo "show Slipview"
  echo "sleep 1200"
  for i in 01 02 03 04 05 06; do
    echo "screenshot $(win "$out/gallery-$i.png")"
    echo "sleep 3000"
  done
  echo "close Slipview"
} > "$out/gallery-session.txt"

"$ZEB_WINE" "$ZEB_RUN_BUILD/tools/host/zebhost.exe" -f "$(win "$out/gallery-session.txt")" >"$out/gallery-session.log" 2>&1 </dev/null &
host_pid=$!
for _ in $(seq 1 100); do
  grep -q "listening on" "$out/gallery-session.log" 2>/dev/null && break
  sleep 0.1
done
(cd "$grun" && exec "$ZEB_WINE" Slipview.exe >/dev/null 2>&1 </dev/null) &
slipview_pid=$!
gstatus=0
wait "$host_pid" || gstatus=$?
host_pid=""
for _ in $(seq 1 50); do
  kill -0 "$slipview_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$slipview_pid" 2>/dev/null; then
  echo "Slipview did not end after close" >&2
  kill "$slipview_pid" 2>/dev/null || true
  gstatus=1
fi
wait "$slipview_pid" 2>/dev/null || true
slipview_pid=""
sed 's/\r$//' "$out/gallery-session.log"
if [ "$gstatus" -ne 0 ]; then
  echo "gallery demo failed (zebhost exit $gstatus); Slipview's log: $grun/ZebLogFiles/" >&2
  exit "$gstatus"
fi
