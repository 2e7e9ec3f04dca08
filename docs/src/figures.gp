# Draws the guide's figures from the data that make_guide wrote, and the
# lab's setup that it wrote into lab.gp.
#   gnuplot -e "data='DATA_FOLDER'; figures='FIGURE_FOLDER'" figures.gp
# Colours from the Okabe-Ito palette, which stays apart for colour-blind
# readers; every series also differs in its line or point shape.
load data.'/lab.gp'
blue = '#0072B2'; orange = '#E69F00'; green = '#009E73'; vermillion = '#D55E00'; purple = '#CC79A7'; grey = '#555555'

set terminal svg size 760,440 dynamic font 'Helvetica,16' linewidth 1.5 background '#ffffff'
set encoding utf8
set border 3
set tics nomirror out
set grid xtics ytics linecolor '#dddddd' dashtype solid
set key top right box opaque samplen 3 spacing 1.2

# 1. The count rate against the distance.
set output figures.'/rate-against-distance.svg'
set xlabel 'Distance d from the source to the window (cm)'
set ylabel 'Count rate (counts per second)'
set xrange [distance_low:distance_high]
set yrange [0:*]
set xtics 0.5
plot data.'/rate_against_distance.dat' index 0 with lines linewidth 2.5 linecolor rgb blue title 'window rim bounds the cone', \
     '' index 1 with lines linewidth 4 dashtype (6,3) linecolor rgb vermillion title 'cut-off distance bounds the cone', \
     '' index 2 with lines linewidth 2.5 dashtype (2,3) linecolor rgb grey title 'window beyond the cut-off: no counts', \
     '' index 0 using 1:3 with lines linewidth 2.5 dashtype (8,3,2,3) linecolor rgb green title 'measured by the counter, m = n / (1 + n τ)', \
     '' index 1 using 1:3 with lines linewidth 2.5 dashtype (8,3,2,3) linecolor rgb green notitle

# 2. The distribution of N for one setting.
set output figures.'/count-distribution.svg'
set xlabel 'Count N in one recording'
set ylabel 'Share of recordings'
set autoscale x
set autoscale xfix  # no empty stretch of axis beyond the data
set xtics autofreq
set yrange [0:*]
set offsets 0, 0, graph 0.75, 0  # room for the key above the peaks
set style fill solid 0.45 border lc rgb blue
set boxwidth 0.9
plot data.'/count_histogram.dat' using 1:2 with boxes linecolor rgb blue title 'simulated recordings', \
     '' using 1:3 with linespoints pointtype 7 pointsize 0.8 linewidth 2 linecolor rgb vermillion title 'exact distribution with dead time', \
     '' using 1:4 with linespoints pointtype 4 pointsize 0.8 linewidth 2 dashtype (6,3) linecolor rgb grey title 'Poisson, no dead time', \
     '' using 1:5 with linespoints pointtype 12 pointsize 0.9 linewidth 2 dashtype (2,3) linecolor rgb purple title 'Poisson with the same mean'

# 3. Measured and corrected rates against the true rate: each measured
# point a little left of its true rate and each corrected one a little right,
# small enough that the ±1 sd bars show beside them.
set errorbars large

set output figures.'/measured-against-true-rate.svg'
set offsets 0, 0, 0, 0
set key top left width -1 samplen 2  # above the points, which the y range leaves room for
set xlabel 'True count rate n (counts per second)'
set ylabel 'Rate (counts per second)'
set xrange [0:18]
set yrange [0:22]
set xtics 2
set ytics 2
plot x with lines linewidth 1.5 dashtype (2,3) linecolor rgb grey title 'no loss: m = n', \
     data.'/dead_time_curve.dat' using 1:2 with lines linewidth 2.5 linecolor rgb blue title 'dead time: m = n / (1 + n τ)', \
     data.'/measured_rates.dat' every ::0::(sources_n - 1) using ($1 - 0.25):2:4 with yerrorbars pointtype 7 pointsize 0.35 linewidth 2 linecolor rgb vermillion title 'measured N / t ± 1 sd: source', \
     '' every ::sources_n using ($1 - 0.25):2:4 with yerrorbars pointtype 6 pointsize 0.4 linewidth 2 linecolor rgb vermillion title 'distance', \
     '' every ::0::(sources_n - 1) using ($1 + 0.25):3:5 with yerrorbars pointtype 9 pointsize 0.55 linewidth 2 linecolor rgb green title 'corrected ± 1 sd: source', \
     '' every ::sources_n using ($1 + 0.25):3:5 with yerrorbars pointtype 8 pointsize 0.6 linewidth 2 linecolor rgb green title 'distance'
