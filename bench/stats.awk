# bench/stats.awk: statistics for the benchmark scripts' awk programs
# (awk -f bench/stats.awk -f PROGRAM).

# sortn(a, n): sorts a[1..n] in increasing order (insertion sort: the
# rounds are few).
function sortn(a, n,    i, j, v) {
  for (i = 2; i <= n; i++) {
    v = a[i]
    for (j = i - 1; j >= 1 && a[j] > v; j--) a[j + 1] = a[j]
    a[j + 1] = v
  }
}

# median(a, n): the median of a[1..n], sorted.
function median(a, n) { return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
