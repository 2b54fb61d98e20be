cd '@DIR@/prog/work' || exit 1
rm -f '@DIR@/prog/work/clcheck.cli'
rm -f '@DIR@/prog/work/clcheck.log'
echo '** @DIR@/prog/trade/trade.exe did not produce @DIR@/prog/work/clcheck.log' > '@DIR@/prog/work/clcheck.log'
'@DIR@/prog/trade/trade.exe' -sti '@DIR@/prog/work/clcheck.sti' -lon '@DIR@/prog/work/clcheck.log'
if [ $? -ne 0 ]; then
  echo 'error at model solution stage' > '@DIR@/prog/work/clcheck.flg'
fi
