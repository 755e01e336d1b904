[playlist]
numberofentries=2
CachedInfo=1
file1=/abs/a.mp3
author1=Band
file2=b.mp3
